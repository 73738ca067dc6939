// The secret mode: the hidden mode that shows the search keys, the secret
// boxes, the extra search buttons and the SECRET and TEXT buttons. Two
// switches reach different sets of controls; the table of which lives in
// secret_mode.cpp and nowhere else.
#pragma once

namespace kx {

class App;

// Fixed for the whole run: while it is 0 the view's switch can only turn the
// secret mode off, and the result browser's switch is the one that turns it on.
constexpr int kSecretModeEnable = 0;

enum class SecretSwitch { View, Browser };

// The double click on the view's update date.
void secretFromView(App& app);
// The double click on the result browser's update date: toggles.
void secretFromBrowser(App& app);

// Shows or hides every control that the switch reaches.
void showSecretControls(App& app, SecretSwitch by, bool show);

}  // namespace kx
