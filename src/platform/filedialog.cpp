#include "platform/filedialog.h"

#include "platform/fileio.h"
#include "platform/prompts.h"

namespace platform {

QStringList FileDialog::nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QStringList masks;
        for (const QString &m : parts[i + 1].split(QLatin1Char(';'))) {
            QString mask = m.trimmed();
            if (mask.isEmpty())
                continue;
            // "*.*" means every file, also those without an extension.
            if (mask == QLatin1String("*.*"))
                mask = QStringLiteral("*");
            masks << mask;
        }
        if (masks.isEmpty())
            continue;
        out << QStringLiteral("%1 (%2)").arg(desc, masks.join(QLatin1Char(' ')));
    }
    return out;
}

void FileDialog::showOpen()
{
    m_fileName = prompts().chooseFile(FileMode::Open, nameFilters(m_filter), m_flags, m_fileName);
}

void FileDialog::showSave()
{
    m_fileName = prompts().chooseFile(FileMode::Save, nameFilters(m_filter), m_flags, m_fileName);
}

QString FileDialog::makeFileNameAbsolute()
{
    if (!m_fileName.trimmed().isEmpty())
        m_fileName = absolutePath(m_fileName);
    return m_fileName;
}

} // namespace platform
