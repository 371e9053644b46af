#include "app/SupportMail.h"

#include "app/MakerAddresses.h"

std::string SupportMailText() {
    const std::string line(48, '_');
    const std::string body = "FullName:" + line + "\n\r" + "Address(Country):" + line +
                             "\n\r" + "Phone:" + line + "\n\r" + "Fax:" + line;
    return std::string("mailto:") + MakerAddresses::SupportMail +
           "?subject= Morvane --- Ostrel   &Body=" + body;
}
