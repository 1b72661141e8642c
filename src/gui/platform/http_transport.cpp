#include "platform/http_transport.h"

#include "platform/module.h"

namespace platform {

ModuleHttpTransport::ModuleHttpTransport(QString moduleFolder)
    : moduleFolder_(std::move(moduleFolder)) {}

ModuleHttpTransport::~ModuleHttpTransport() = default;

std::unique_ptr<Transfer> ModuleHttpTransport::get(const TransferRequest& request,
                                                   TransferEvents events) {
    if (!loaded_) {
        loaded_ = true;
        if (auto create = reinterpret_cast<CreateHttpTransport>(
                resolveModuleEntry(moduleFolder_, kNetworkModule, kCreateHttpTransport))) {
            stack_.reset(create());
        }
    }
    return stack_ ? stack_->get(request, std::move(events)) : nullptr;
}

}  // namespace platform
