#include "platform/gui/TrayIcon.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"

#include <QIcon>
#include <QSystemTrayIcon>

namespace platform {

struct TrayIcon::Impl {
    QSystemTrayIcon icon;
};

TrayIcon::TrayIcon(Window& owner, int id, UINT callbackMessage)
    : owner_(owner), id_(id), callbackMessage_(callbackMessage), impl_(std::make_unique<Impl>())
{
    QObject::connect(&impl_->icon, &QSystemTrayIcon::activated, &impl_->icon,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         switch (reason) {
                         case QSystemTrayIcon::Trigger: deliver(WM_LBUTTONDOWN); break;
                         case QSystemTrayIcon::DoubleClick: deliver(WM_LBUTTONDBLCLK); break;
                         case QSystemTrayIcon::Context: deliver(WM_RBUTTONDOWN); break;
                         default: break;
                         }
                     });
}

TrayIcon::~TrayIcon() { remove(); }

bool TrayIcon::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool TrayIcon::add(const std::string& iconPath, const std::string& tip)
{
    const QIcon picture(toQString(iconPath));
    if (picture.isNull() || picture.availableSizes().isEmpty())
        return false;
    impl_->icon.setIcon(picture);
    impl_->icon.setToolTip(toQString(tip));
    impl_->icon.show();
    return true;
}

void TrayIcon::remove() { impl_->icon.hide(); }

QSystemTrayIcon* TrayIcon::nativeIcon() const { return &impl_->icon; }

bool TrayIcon::isShown() const { return impl_->icon.isVisible(); }

void TrayIcon::deliver(UINT mouseMessage)
{
    owner_.send(callbackMessage_, static_cast<WPARAM>(id_), static_cast<LPARAM>(mouseMessage));
}

}  // namespace platform
