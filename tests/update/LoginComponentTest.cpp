#include "update/TLoginComponent.h"

#include <gmock/gmock.h>

namespace {

TEST(LoginComponentTest, LoginDataKeepsBothCredentialsAndHidesThem) {
    TLoginComponent login;
    login.SetHTTPUsername("anna");
    login.SetHTTPPassword("s3cret:=\xE4\xB8\xAD");
    const auto data = login.LoginData();
    EXPECT_EQ(data.find("anna"), std::string::npos);
    EXPECT_EQ(data.find("s3cret"), std::string::npos);
    TLoginComponent other;
    other.SetLoginData(data);
    EXPECT_EQ(other.HTTPUsername(), "anna");
    EXPECT_EQ(other.HTTPPassword(), "s3cret:=\xE4\xB8\xAD");
    other.SetLoginData("not hex");
    EXPECT_EQ(other.HTTPUsername(), "");
    EXPECT_EQ(other.HTTPPassword(), "");
}

} // namespace
