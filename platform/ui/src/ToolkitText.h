// Text crossing between the program and the toolkit.
#pragma once

// Private to the window layer.

#include "core/String.h"

#include <QString>

#include <string_view>

// The program's own text is UTF-8; a null pointer is the empty text.
QString ToolkitText(LPCSTR text);
QString ToolkitText(std::string_view text);

// A file name as the toolkit spells it, and back as the file system's bytes.
QString PathText(const CString& path);
CString PathBytes(const QString& path);
