#ifndef NOCTAVI_RSS_FINDNEWITEMS_H
#define NOCTAVI_RSS_FINDNEWITEMS_H

#include <Noctavi/RSS/RSSFeed.h>

namespace RSS {

// The first item of `current` that `previous` did not yet have; the items from
// it to the end of current's list are new. They are the items after the last
// one (searched from the end) whose guid equals that of previous's last item.
// When that item is gone from current (the user deleted the document), the
// newest item of previous that current still holds takes its place, so that
// older documents are not announced again; every item is new only when
// previous has no items or current holds none of them. The result points
// into current's list and is valid as long as current is unchanged.
ItemList::const_iterator FindNewItems(const RSSFeed& previous, const RSSFeed& current);

} // namespace RSS

#endif
