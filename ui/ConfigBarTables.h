// What the configuration bar's drop-down lists offer, and how the chosen
// entries become the settings texts of the next connect. Pure data and
// functions without a window: the bar uses them on the UI thread, tests call
// them directly.
#pragma once

#include "device/SerialSettings.h"

#include <string>
#include <vector>

struct ConfigBarList {
    int id;
    std::vector<std::wstring> entries;
    int startSelection;
};

// The six lists in the order they are filled: port, baud rate, data bits,
// stop bits, parity, flow control.
const std::vector<ConfigBarList>& ConfigBarLists();

// The entries chosen in the bar when the connect button is clicked.
struct ConfigBarChoices {
    int port = 0;
    int baud = 0;
    int dataBits = 0;
    int stopBits = 0;
    int parity = 0;
    bool customBaud = false;
    std::wstring customBaudText;
};

// Writes the port name first, then the rest. An empty custom baud rate stops
// after the port name and gives false (the bar then asks for a rate).
bool WriteSettingsFromChoices(const ConfigBarChoices& choices, SerialSettings& settings);

// "COM1" for index 0.
std::wstring PortNameForIndex(int index);
// The parity word for a parity-list index. The port layer turns "偶校验"
// into odd and "奇校验" into even parity, so "Odd" maps to "偶校验": the
// two tables only hold together.
std::wstring ParityWordForIndex(int index);

// Progress-bar position for a transfer fraction: fraction x 100 in double,
// truncated toward zero (0.999 gives 99). A NaN gives 0 and values beyond
// the int range saturate, where a plain cast would be undefined.
int ProgressPosition(float fraction);
