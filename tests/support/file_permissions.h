#pragma once
// Lets a test running as root see file permissions the way a normal user does: while an
// AsOrdinaryUser lives, the calling thread has no capability to override them.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class AsOrdinaryUser
{
public:
    AsOrdinaryUser()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_active = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~AsOrdinaryUser()
    {
        if (m_active)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

    // True when permissions now apply (always for a normal user).
    bool active() const { return m_active || ::geteuid() != 0; }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_active = false;
};
