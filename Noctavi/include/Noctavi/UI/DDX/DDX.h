#ifndef NOCTAVI_UI_DDX_DDX_H
#define NOCTAVI_UI_DDX_DDX_H

#include <boost/optional.hpp>

#include <string>

namespace UI {

class DataExchange;

// Exchanges between a control, found by its id, and a field. The control
// must exist (else SystemError). A label or an edit holds the text; an empty
// text is no value.

void DDX_Text(DataExchange& exchange, int id, std::wstring& value);
void DDX_Text(DataExchange& exchange, int id, boost::optional<std::wstring>& value);
// A text that is no int (a number beyond the int range) leaves no value and
// fails the exchange.
void DDX_Text(DataExchange& exchange, int id, boost::optional<int>& value);

// A check box's state.
void DDX_Check(DataExchange& exchange, int id, bool& value);

} // namespace UI

#endif
