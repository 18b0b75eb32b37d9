#ifndef NOCTAVI_IS_PAGEMODE_H
#define NOCTAVI_IS_PAGEMODE_H

namespace IS {

// What the machine's document page is asked to do; the value is sent as is.
enum class PageMode {
    Download = 1,
    Print = 2,
    // The user's stored documents, in the web browser.
    Login = 3,
    NotificationSettings = 4,
    Delete = 5,
};

} // namespace IS

#endif
