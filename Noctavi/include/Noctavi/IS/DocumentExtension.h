#ifndef NOCTAVI_IS_DOCUMENTEXTENSION_H
#define NOCTAVI_IS_DOCUMENTEXTENSION_H

#include <Noctavi/HTTP/Net.h>

#include <string>

namespace IS {

// The file extension of a reply's content kind: ".jpeg", ".pdf", ".tif",
// ".xml", or "" for any other kind.
std::wstring GetContentExtension(HTTP::Net::ContentKind kind);

// Makes the path end in the wanted extension unless it already has it or its
// other spelling (".tif"/".tiff", ".jpeg"/".jpg"), comparing without regard to
// case. A different extension stays in place before the appended one
// ("a.pdf" wanting ".jpeg" becomes "a.pdf.jpeg"); an empty wanted extension
// changes nothing. True when the path was changed.
bool AdjustExtension(std::wstring& path, const std::wstring& wanted);

} // namespace IS

#endif
