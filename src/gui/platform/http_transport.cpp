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
        stack_ =
            createFromModule<HttpTransport>(moduleFolder_, kNetworkModule, kCreateHttpTransport);
    }
    return stack_ ? stack_->get(request, std::move(events)) : nullptr;
}

}  // namespace platform
