// Resource and control ids shared by the windows, as the forms number them.
#pragma once

// Templates and shared resources.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_TALIARD_FORM = 101;
constexpr int IDD_SERIAL_CONFIG_BAR = 103;
constexpr int IDR_MAINFRAME = 128;

// Configuration bar (template 103).
constexpr int IDC_BUTTON_CONNECT = 1000;
constexpr int IDC_EDIT_CUSTOM_BAUD = 1001;
constexpr int IDC_EDIT_SEND_FILE = 1003;
constexpr int IDC_COMBO_PORT = 1005;
constexpr int IDC_COMBO_BAUD = 1006;
constexpr int IDC_COMBO_DATA_BITS = 1007;
constexpr int IDC_COMBO_STOP_BITS = 1008;
constexpr int IDC_COMBO_PARITY = 1009;
constexpr int IDC_COMBO_FLOW = 1010;
constexpr int IDC_BUTTON_BROWSE_SEND = 1011;
constexpr int IDC_RADIO_XMODEM_SUM = 1012;
constexpr int IDC_RADIO_XMODEM_1KCRC = 1013;
constexpr int IDC_CHECK_CUSTOM_BAUD = 1014;
constexpr int IDC_BUTTON_SEND_TEXT = 1015;
constexpr int IDC_EDIT_SEND_TEXT = 1016;
constexpr int IDC_BUTTON_SEND_FILE = 1017;
constexpr int IDC_PROGRESS = 1018;
constexpr int IDC_BUTTON_BROWSE_CAPTURE = 1019;
constexpr int IDC_BUTTON_CAPTURE = 1020;
constexpr int IDC_EDIT_CAPTURE_FILE = 1021;
constexpr int IDC_RADIO_XMODEM_CRC = 1022;
constexpr int IDC_CHECK_NEWLINE = 1024;

// View (template 101): the received-data pane shares its id with a radio
// button of the bar; they live in different forms.
constexpr int IDC_EDIT_RECEIVE = 1022;

// Window timer of the view's refresh.
constexpr int ID_TIMER_REFRESH = 3001;

// Status bar control id.
constexpr int AFX_IDW_STATUS_BAR = 59393;
