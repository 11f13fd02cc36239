#pragma once

#include <string_view>

// The encodings in which an import file's bytes may be read; all text inside the program is UTF-8.
enum class TextEncoding { System, MacRoman, WindowsLatin1, IsoLatin1, Utf8, Utf16 };

// Finds the encoding for a name such as "mac-roman" or "UTF-8", in any letter case.
bool ParseTextEncoding(std::string_view name, TextEncoding& encoding);

// The name that ParseTextEncoding reads back ("system", "mac-roman", "windows-1252", ...).
std::string_view TextEncodingName(TextEncoding encoding);

// The name shown to the user ("Mac OS Roman", "Windows Latin 1", ...).
std::string_view TextEncodingDisplayName(TextEncoding encoding);
