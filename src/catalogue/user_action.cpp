#include "catalogue/user_action.h"

#include "common/dialogs.h"
#include "common/errors.h"

bool runUserAction(const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
    }
    return false;
}
