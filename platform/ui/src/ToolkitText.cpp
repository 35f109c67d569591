// Text crossing between the program and the toolkit.

#include "ToolkitText.h"

#include <QFile>

QString ToolkitText(LPCSTR text)
{
    return QString::fromUtf8(text ? text : "");
}

QString ToolkitText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// File names need not be UTF-8: the file system's encoding both ways.
QString PathText(const CString& path)
{
    return QFile::decodeName(path.GetString());
}

CString PathBytes(const QString& path)
{
    return CString(QFile::encodeName(path).constData());
}
