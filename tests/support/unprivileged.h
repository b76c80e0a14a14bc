#pragma once

#include <sys/types.h>
#include <unistd.h>

namespace kalydor::test {

/// The user and group ids of "nobody", as Debian gives them.
inline constexpr uid_t kNobody = 65534;

/// While it lives, the process acts as the unprivileged user "nobody" when it runs as root:
/// root ignores file permissions, so a read-only file or folder is read-only for the code
/// under test only this way. Only the effective ids change, so the destructor can return to
/// root. Run as another user, the permissions hold already and nothing changes.
class ActingAsNobody {
public:
    ActingAsNobody() {
        if (::geteuid() != 0 || ::setegid(kNobody) != 0)
            return;
        m_switched = ::seteuid(kNobody) == 0;
        if (!m_switched)
            (void)::setegid(0);
    }
    ~ActingAsNobody() {
        if (m_switched) {
            (void)::seteuid(0);
            (void)::setegid(0);
        }
    }
    ActingAsNobody(const ActingAsNobody&) = delete;
    ActingAsNobody& operator=(const ActingAsNobody&) = delete;

    /// False when running as root and the switch failed: the test cannot show anything.
    bool ok() const { return m_switched || ::geteuid() != 0; }

private:
    bool m_switched = false;
};

} // namespace kalydor::test
