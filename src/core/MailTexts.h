#pragma once

#include <string>

// The "mailto:" text that starts a new mail to the support address with the contact form
// as its body. It is handed to the shell as it stands, without URL encoding; the form's
// lines are separated by LF then CR, which the mail programs it was made for expect.
std::string SupportMailText();
