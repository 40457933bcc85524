// Conversions between the program's byte texts and the toolkit's strings.
#pragma once

#include <string>

#include <wx/string.h>

/// TEXT for display: the system code page on Windows; elsewhere UTF-8 when
/// it is valid UTF-8 (file names usually are), else Latin-1.
wxString ToWx(const std::string& text);
/// The reverse of ToWx for texts that came from the toolkit.
std::string FromWx(const wxString& text);
