// Discovery and automatic COM numbers on a fake device tree of ptys.
#include "device/CSerialPort.h"
#include "device/PortDiscovery.h"
#include "device/PortPath.h"
#include "device/PortTable.h"
#include "tests/support/FakeDeviceTree.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using testsupport::FakeDeviceTree;

const std::string ADAPTER_A = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
const std::string ADAPTER_B = "usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0";

class PortTable : public testing::Test {
protected:
    void TearDown() override { ClearPortOverrides(); }

    FakeDeviceTree m_tree;
};

TEST_F(PortTable, DiscoveryCountsEachDeviceOnceUnderItsByIdNameAndLeavesPhantomUartsOut)
{
    m_tree.Plug("ttyUSB0", ADAPTER_A);
    m_tree.Plug("ttyACM0");
    m_tree.Plug("ttyS0"); // a pty answers TIOCGSERIAL with nothing: no UART
    const auto devices = DiscoverSerialDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].path, m_tree.ById(ADAPTER_A));
    EXPECT_EQ(devices[0].description, "FTDI FT232R USB UART (A50285BI)");
    EXPECT_EQ(devices[1].path, m_tree.Path("ttyACM0"));
    EXPECT_FALSE(IsRealUart(m_tree.Path("ttyS0")));
}

TEST_F(PortTable, APhantomUartDoesNotOpenAndTheReasonSaysWhereToLook)
{
    m_tree.Plug("ttyS1");
    CSerialPort port;
    EXPECT_FALSE(port.Open(SerialSettings { L"COM2", L"115200", L"N", L"8", L"1" }, CSerialPort::EV_RXCHAR));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NE(port.GetLastOpenError().find("--list-ports"), std::string::npos) << port.GetLastOpenError();
}

TEST_F(PortTable, NewDevicesGetTheLowestFreeNumberAndKeepItAcrossReplugs)
{
    m_tree.Plug("ttyUSB0", ADAPTER_A);
    EXPECT_EQ(ResolvePortPath(L"COM1"), m_tree.ById(ADAPTER_A)) << "the first adapter is the start selection";
    m_tree.Plug("ttyUSB1", ADAPTER_B);
    EXPECT_EQ(ResolvePortPath(L"COM2"), m_tree.ById(ADAPTER_B));

    // Pulled, a device keeps its number; another one does not take it.
    m_tree.Unplug("ttyUSB0");
    m_tree.Plug("ttyACM0");
    EXPECT_EQ(ResolvePortPath(L"COM3"), m_tree.Path("ttyACM0"));
    m_tree.Unplug("ttyUSB1");
    m_tree.Plug("ttyUSB0", ADAPTER_B); // back on another node
    m_tree.Plug("ttyUSB1", ADAPTER_A);
    EXPECT_EQ(ResolvePortPath(L"COM1"), m_tree.ById(ADAPTER_A));
    EXPECT_EQ(ResolvePortPath(L"COM2"), m_tree.ById(ADAPTER_B));
    EXPECT_NE(m_tree.AutomaticFile().find("COM1=" + m_tree.ById(ADAPTER_A) + "\n"), std::string::npos);
}

TEST_F(PortTable, UserLinesWinAndTheirNumbersAreNotGivenAway)
{
    m_tree.Plug("ttyUSB0", ADAPTER_A);
    ASSERT_EQ(ResolvePortPath(L"COM1"), m_tree.ById(ADAPTER_A));
    m_tree.WriteUserConfig("COM1=" + m_tree.Path("ttyACM0") + "\nCOM2=/dev/elsewhere\n");
    m_tree.Plug("ttyACM0");
    EXPECT_EQ(ResolvePortPath(L"COM1"), m_tree.Path("ttyACM0"));
    // The shadowed adapter moves to the lowest number nothing else uses.
    EXPECT_EQ(ResolvePortPath(L"COM3"), m_tree.ById(ADAPTER_A));
    EXPECT_EQ(m_tree.AutomaticFile().find("COM1="), std::string::npos);
}

TEST_F(PortTable, ListShowsEveryNameThatLeadsToADevice)
{
    m_tree.Plug("ttyUSB0", ADAPTER_A);
    auto& other = m_tree.Plug("ttyS0");
    ASSERT_TRUE(SetPortOverride("COM5=" + other.SlavePath()));
    std::istringstream text(PortListText());
    std::string first;
    std::string second;
    std::getline(text, first);
    std::getline(text, second);
    EXPECT_TRUE(text.peek() == EOF) << "one line per port that leads to a device";
    EXPECT_EQ(first.substr(0, 5), "COM1 ");
    EXPECT_NE(first.find(" " + m_tree.ById(ADAPTER_A) + "  FTDI FT232R USB UART (A50285BI)  (automatic)"), std::string::npos);
    EXPECT_EQ(second.substr(0, 5), "COM5 ");
    EXPECT_NE(second.find(" " + other.SlavePath() + "  -  (command line)"), std::string::npos);
    const std::string byId = m_tree.ById(ADAPTER_A);
    EXPECT_EQ(PortChoiceText(L"COM1"), L"COM1: " + std::wstring(byId.begin(), byId.end()));
    EXPECT_NE(PortChoiceText(L"COM2").find(L"没有设备"), std::wstring::npos);
}

} // namespace
