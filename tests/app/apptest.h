#pragma once

#include "appfixture.h"
#include "documents/fileops.h"
#include "testmain.h"

// What the window tests share: the program's own texts about files, and files made for them.
const QString kClose = "Would you like to save the changes you may have made to your work?";
const QString kChanged = "The file \"%1\" has been changed by another program since you opened or last "
                         "saved it.\r\nSave anyway and replace those changes with this document?";
inline QString readError(const QString &why)
{
    return "There was an error in reading your file\r\n" + why + "\r\nWould would you like to do";
}
inline QString saveError(const QString &why)
{
    return "There was an error in saving to the file. \r\n" + why + "\r\nWould would you like to do";
}

inline QByteArray lines(int n) // "line 0\r\n" ... "line n-1\r\n"
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += "line " + QByteArray::number(i) + "\r\n";
    return out;
}

using testsupport::writeBytes;

// File > Open of path, as the dialog would: the window it went into.
inline FrmDoc *openIn(const AppFixture &app, const QString &path)
{
    fileops::OpenFile(path);
    return app.current();
}
