// The WinInet layer under the download jobs: status notifications and thrown failures.
#include "DownloadFixture.h"

#include <algorithm>

namespace {

class RecordingSession : public CInternetSession {
  public:
    RecordingSession()
        : CInternetSession("layer test", 7, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0) {}

    std::vector<DWORD> statuses;
    std::vector<DWORD_PTR> contexts;

  protected:
    void OnStatusCallback(DWORD_PTR context, DWORD status, void*, DWORD) override {
        statuses.push_back(status);
        contexts.push_back(context);
    }
};

std::string Fetch(CInternetSession& session, INTERNET_PORT port, const char* object) {
    auto connection = session.GetHttpConnection("127.0.0.1", port);
    auto request =
        connection->OpenRequest("GET", object, nullptr, 7, nullptr, nullptr, INTERNET_FLAG_RELOAD);
    request->SendRequest();
    std::string body;
    char buffer[512];
    for (UINT read; (read = request->Read(buffer, sizeof(buffer))) != 0;) {
        body.append(buffer, read);
    }
    return body;
}

} // namespace

using InternetSessionTest = DownloadTest;

TEST_F(InternetSessionTest, StatusNotificationsReachTheSessionOnlyWhenEnabled) {
    RecordingSession session;
    EXPECT_TRUE(Fetch(session, s_server->Port(), "/small.bin") == s_small);
    EXPECT_TRUE(session.statuses.empty());

    session.EnableStatusCallback(true);
    EXPECT_TRUE(Fetch(session, s_server->Port(), "/small.bin") == s_small);
    const auto& seen = session.statuses;
    EXPECT_NE(std::find(seen.begin(), seen.end(), INTERNET_STATUS_REQUEST_SENT), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), INTERNET_STATUS_RESPONSE_RECEIVED), seen.end());
    for (DWORD_PTR context : session.contexts) {
        EXPECT_EQ(context, 7u);
    }
}

TEST_F(InternetSessionTest, FailuresAreThrownWithTheSystemError) {
    RecordingSession session;
    auto connection = session.GetHttpConnection("127.0.0.1", 1);
    auto request =
        connection->OpenRequest("GET", "/", nullptr, 7, nullptr, nullptr, INTERNET_FLAG_RELOAD);
    try {
        request->SendRequest();
        FAIL() << "a request to a closed port went through";
    } catch (CInternetException* failure) {
        std::unique_ptr<CInternetException> owned(failure);
        EXPECT_EQ(owned->Error(), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
        EXPECT_EQ(owned->Context(), 7u);
    }
}

TEST_F(InternetSessionTest, ContentLengthIsReported) {
    RecordingSession session;
    auto connection = session.GetHttpConnection("127.0.0.1", s_server->Port());
    auto request = connection->OpenRequest("GET", "/small.bin", nullptr, 7, nullptr, nullptr,
                                           INTERNET_FLAG_RELOAD);
    request->SendRequest();
    EXPECT_EQ(request->QueryStatusCode(), 200u);
    DWORD length = 0;
    ASSERT_TRUE(request->QueryContentLength(length));
    EXPECT_EQ(length, s_small.size());
}
