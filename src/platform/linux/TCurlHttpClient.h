#pragma once

#include "platform/IHttpClient.h"

namespace Platform {

// HTTP requests through libcurl. Each request owns a multi handle so that it can be
// driven step by step (headers first, then the body block by block) like the Windows
// internet library's request handles.
class TCurlHttpClient : public IHttpClient {
public:
    TCurlHttpClient();
    std::unique_ptr<IHttpRequest> OpenRequest(const THttpRequestSettings& settings,
                                              THttpStatusCallback status) override;
};

} // namespace Platform
