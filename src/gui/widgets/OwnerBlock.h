#pragma once

#include <QPointer>
#include <QWidget>

namespace tl {

// While a window that blocks its opener is open, the opener is disabled, so
// it shows greyed out behind it; afterwards it is enabled again unless it was
// disabled before.
class OwnerBlock {
public:
    explicit OwnerBlock(QWidget* owner) : m_owner(owner) {
        if (!m_owner)
            return;
        m_wasEnabled = m_owner->isEnabled();
        m_owner->setEnabled(false);
    }
    ~OwnerBlock() {
        if (m_owner)
            m_owner->setEnabled(m_wasEnabled);
    }
    OwnerBlock(const OwnerBlock&) = delete;
    OwnerBlock& operator=(const OwnerBlock&) = delete;

private:
    QPointer<QWidget> m_owner;
    bool m_wasEnabled = false;
};

} // namespace tl
