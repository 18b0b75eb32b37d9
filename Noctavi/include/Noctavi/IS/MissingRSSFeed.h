#ifndef NOCTAVI_IS_MISSINGRSSFEED_H
#define NOCTAVI_IS_MISSINGRSSFEED_H

#include <Noctavi/IS/ErrorResult.h>

namespace IS {

// "FAIL_NO_FEED_REGISTERED": the user has no feed subscription.
class MissingRSSFeed : public ErrorResult {
};

} // namespace IS

#endif
