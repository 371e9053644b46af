#pragma once

#include <string>

// The "mailto:" texts the program hands to the shell as they stand, without URL encoding.
// Their lines are separated by LF then CR, which the mail programs they were made for
// expect.

// A new mail to the support address with the contact form as its body.
std::string SupportMailText();

// A new mail to a placeholder friend recommending the program, with its home page and
// installer download.
std::string TellFriendMailText();
