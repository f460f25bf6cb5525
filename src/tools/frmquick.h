#pragma once

#include "platform/filedialog.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tools {

class FileScan;

// The quick scan: lists the lines of a chosen file that contain a text. A
// long file is scanned in slices between which the window answers the user;
// closing the window ends the scan.
class FrmQuick : public QWidget
{
    Q_OBJECT

public:
    // Tools > "&Quick Search" of the frame or a document window.
    static FrmQuick *showQuick();
    static FrmQuick *instance(); // null when not loaded
    ~FrmQuick() override;

    void Scan();
    bool isScanning() const { return m_scan != nullptr; }
    // One slice of a running scan (the timer calls it; tests may too).
    void scanSlice();
    // Size of each piece read; a slice reads SlicePieces of them.
    void setPieceBytes(qsizetype bytes) { m_pieceBytes = bytes; }
    static constexpr int SlicePieces = 16;

private:
    explicit FrmQuick(QWidget *parent);
    void takeResults();
    void endScan();

    QLabel *m_searchLabel;
    QLineEdit *m_searchBox;
    QPushButton *m_scanButton;
    QLabel *m_resultsLabel;
    QListWidget *m_resultList;
    QProgressBar *m_progress;
    QLabel *m_instructions;
    platform::FileDialog m_fileDialog;

    std::unique_ptr<FileScan> m_scan;
    QTimer m_slices;
    qsizetype m_pieceBytes;
};

} // namespace tools
