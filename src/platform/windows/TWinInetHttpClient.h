#pragma once

#include "platform/IHttpClient.h"

namespace Platform {

// HTTP requests through the Windows internet library, one internet, connection and
// request handle per request.
class TWinInetHttpClient : public IHttpClient {
public:
    std::unique_ptr<IHttpRequest> OpenRequest(const THttpRequestSettings& settings,
                                              THttpStatusCallback status) override;
};

} // namespace Platform
