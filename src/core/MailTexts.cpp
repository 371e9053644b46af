#include "core/MailTexts.h"

#include "core/MakerAddresses.h"

namespace {

// The placeholder recipient the user replaces with a friend's address.
const char* const FriendAddress = "friend@example.com";

} // namespace

std::string SupportMailText() {
    const std::string line(48, '_');
    const std::string body = "FullName:" + line + "\n\r" + "Address(Country):" + line +
                             "\n\r" + "Phone:" + line + "\n\r" + "Fax:" + line;
    return std::string("mailto:") + MakerAddresses::SupportMail +
           "?subject= Morvane --- Ostrel   &Body=" + body;
}

std::string TellFriendMailText() {
    const std::string lines[] = {"My Dear Friend ",
                                 "  I have try a disk clean tool (Morvane) and found it is very userful,",
                                 "Strongly recommand it to you ! ",
                                 "  You can check it out at :",
                                 std::string("     ") + MakerAddresses::HomePage + "?src=Friend ",
                                 "  or download a free trial from",
                                 std::string("     ") + MakerAddresses::Download + "?src=Friend ",
                                 "",
                                 "Best Regards,",
                                 "Yours "};
    std::string text = std::string("mailto: ") + FriendAddress + "?subject= Try out Morvane7.0 &Body=";
    for (const std::string& line : lines)
        text += line + "\n\r";
    return text;
}
