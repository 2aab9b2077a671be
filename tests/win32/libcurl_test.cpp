// The libcurl the Windows edition is linked with, as the build made it: the pinned version,
// TLS from Windows (Schannel), FTP and FTPS and no other protocol, and the options the
// transfer sets accepted. Nothing here connects anywhere.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

class LibcurlTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK); }
    static void TearDownTestSuite() { curl_global_cleanup(); }
};

TEST_F(LibcurlTest, IsThePinnedVersionWithSchannelAndOnlyFtp) {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    EXPECT_STREQ(info->version, "7.88.1");
    ASSERT_NE(info->ssl_version, nullptr);
    EXPECT_STREQ(info->ssl_version, "Schannel");
    EXPECT_TRUE(info->features & CURL_VERSION_SSL);
    EXPECT_FALSE(info->features & CURL_VERSION_LIBZ);
    EXPECT_FALSE(info->features & CURL_VERSION_IDN);
    EXPECT_FALSE(info->features & CURL_VERSION_PSL);

    std::set<std::string> protocols;
    for (const char* const* p = info->protocols; *p; ++p) protocols.insert(*p);
    EXPECT_EQ(protocols, (std::set<std::string>{"ftp", "ftps"}));
}

// What the transfer asks of the TLS backend: TLS required, at most TLS 1.2, a public-key pin.
// A backend without one of them refuses the option here (CURLE_NOT_BUILT_IN) rather than
// failing the first connection.
TEST_F(LibcurlTest, AcceptsTheTransfersTlsOptions) {
    CURL* curl = curl_easy_init();
    ASSERT_NE(curl, nullptr);
    EXPECT_EQ(curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL)), CURLE_OK);
    EXPECT_EQ(
        curl_easy_setopt(curl, CURLOPT_SSLVERSION,
                         static_cast<long>(CURL_SSLVERSION_TLSv1_2 | CURL_SSLVERSION_MAX_TLSv1_2)),
        CURLE_OK);
    EXPECT_EQ(curl_easy_setopt(curl, CURLOPT_PINNEDPUBLICKEY,
                               "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA="),
              CURLE_OK);
    curl_easy_cleanup(curl);
}

}  // namespace
