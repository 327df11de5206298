#include "kxlib/KXSignal.h"

#include <utility>

namespace KXLib {

KXSignal::KXSignal(std::unique_ptr<KXSemaphore> semaphore) : semaphore_(std::move(semaphore)) {}

KXSignal::~KXSignal() = default;

bool KXSignal::post()
{
    return semaphore_ && semaphore_->post();
}

bool KXSignal::wait(uint32_t milliseconds)
{
    return semaphore_ && semaphore_->wait(milliseconds);
}

}  // namespace KXLib
