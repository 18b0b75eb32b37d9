#ifndef NOCTAVI_MONITOREDENTRY_INPUTCHECKS_H
#define NOCTAVI_MONITOREDENTRY_INPUTCHECKS_H

#include <string>

// The checks of typed-in values shared by the model's validity tests, the
// install mode and the dialogs. None throws.
namespace MonitoredEntry {

// At least one character.
bool IsNonEmptyString(const std::wstring& text);

// A dotted IPv4 address, or else a host name.
bool IsValidHost(const std::wstring& host);

// 0 to 65535. Takes 64 bits so that a typed-in number is checked before any
// narrowing.
bool IsPortNumber(long long number);

// Every character has a code of 127 or less; true for the empty text.
bool IsAsciiString(const std::wstring& text);

// No character below U+0020 and no U+007F: in an account ID or a password
// they would break the command or the credentials that carry them.
bool HasNoControlCharacters(const std::wstring& text);

} // namespace MonitoredEntry

#endif
