#include "store/accounts.h"

namespace Accounts {

Usability usability(const Tool::Struct_UesrManagement &user, const QDateTime &now, std::optional<Right> required)
{
    if (user.hasExpired(now))
        return Usability::Expired;
    if (user.State == stateLocked())
        return Usability::Locked;
    if (required && !user.has(*required))
        return Usability::MissingRight;
    return Usability::Usable;
}

} // namespace Accounts
