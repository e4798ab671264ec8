#include "DesktopBus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <thread>

#include <ChildProcess.h>
#include <TestSandbox.h>
#include <WaitUntil.h>

#include "Actions.h"
#include <StorageTestUtils.h>

namespace {

using BPrivate::DesktopBus;

const char* const kDaemon = "/usr/bin/dbus-daemon";

// A bus of our own: dbus-daemon on a socket in the sandbox.
class PrivateBus {
public:
    PrivateBus()
        : fPid(-1)
    {
        std::string folder = brenvik::test::MakeTempFolder("bus");
        std::string socket = folder + "/socket";
        std::string config = folder + "/bus.conf";
        storage_test::WriteFile(config,
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig>\n"
            "  <type>session</type>\n"
            "  <listen>unix:path="
                + socket
                + "</listen>\n"
                  "  <auth>EXTERNAL</auth>\n"
                  "  <policy context=\"default\">\n"
                  "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                  "    <allow eavesdrop=\"true\"/>\n"
                  "    <allow own=\"*\"/>\n"
                  "  </policy>\n"
                  "</busconfig>\n");
        fPid = brenvik::test::Spawn(
            { kDaemon, "--config-file=" + config, "--nofork", "--nopidfile" }, "", true);
        // The socket appears before the daemon listens on it: wait until a
        // client gets through.
        std::string address = "unix:path=" + socket;
        if (fPid > 0 && brenvik::test::WaitUntil([&] {
                DesktopBus probe;
                return probe.ConnectTo(address.c_str()) == B_OK;
            }))
            fAddress = address;
    }

    ~PrivateBus()
    {
        if (fPid > 0) {
            kill(fPid, SIGTERM);
            brenvik::test::WaitForExitStatus(fPid);
        }
    }

    const std::string& Address() const { return fAddress; }

private:
    pid_t fPid;
    std::string fAddress;
};

// logind and a file manager as far as the installer sees them: they answer
// and write down every call.
class MockDesktop {
public:
    MockDesktop(const std::string& address, bool withLogin, bool withFileManager)
        : fBus(nullptr)
        , fStop(false)
    {
        if (sd_bus_new(&fBus) < 0 || sd_bus_set_address(fBus, address.c_str()) < 0
            || sd_bus_set_bus_client(fBus, 1) < 0 || sd_bus_start(fBus) < 0)
            return;
        bool ready = true;
        if (withLogin) {
            ready = ready
                && sd_bus_add_object_vtable(fBus, nullptr, "/org/freedesktop/login1",
                       "org.freedesktop.login1.Manager", kLoginTable, this)
                    >= 0
                && sd_bus_request_name(fBus, "org.freedesktop.login1", 0) >= 0;
        }
        if (withFileManager) {
            ready = ready
                && sd_bus_add_object_vtable(fBus, nullptr, "/org/freedesktop/FileManager1",
                       "org.freedesktop.FileManager1", kFileManagerTable, this)
                    >= 0
                && sd_bus_request_name(fBus, "org.freedesktop.FileManager1", 0) >= 0;
        }
        if (ready)
            fThread = std::thread([this] { Serve(); });
    }

    ~MockDesktop()
    {
        fStop = true;
        if (fThread.joinable())
            fThread.join();
        if (fBus != nullptr)
            sd_bus_flush_close_unref(fBus);
    }

    bool IsReady() const { return fThread.joinable(); }

    void SetAnswer(const std::string& answer)
    {
        std::lock_guard<std::mutex> guard(fLock);
        fAnswer = answer;
    }

    std::vector<std::string> Calls()
    {
        std::lock_guard<std::mutex> guard(fLock);
        return fCalls;
    }

private:
    void Serve()
    {
        while (!fStop) {
            int result = sd_bus_process(fBus, nullptr);
            if (result < 0)
                break;
            if (result == 0)
                sd_bus_wait(fBus, 50000);
        }
    }

    void Record(const std::string& call)
    {
        std::lock_guard<std::mutex> guard(fLock);
        fCalls.push_back(call);
    }

    static int OnCan(sd_bus_message* message, void* cookie, sd_bus_error*)
    {
        MockDesktop* mock = static_cast<MockDesktop*>(cookie);
        mock->Record(sd_bus_message_get_member(message));
        std::string answer;
        {
            std::lock_guard<std::mutex> guard(mock->fLock);
            answer = mock->fAnswer;
        }
        return sd_bus_reply_method_return(message, "s", answer.c_str());
    }

    static int OnDo(sd_bus_message* message, void* cookie, sd_bus_error*)
    {
        int interactive = 0;
        int result = sd_bus_message_read(message, "b", &interactive);
        if (result < 0)
            return result;
        std::string call = sd_bus_message_get_member(message);
        call += interactive ? " interactive" : " quiet";
        if (sd_bus_message_get_allow_interactive_authorization(message) > 0)
            call += " may-ask";
        static_cast<MockDesktop*>(cookie)->Record(call);
        return sd_bus_reply_method_return(message, "");
    }

    static int OnShow(sd_bus_message* message, void* cookie, sd_bus_error*)
    {
        char** uris = nullptr;
        const char* startupId = nullptr;
        int result = sd_bus_message_read_strv(message, &uris);
        if (result >= 0)
            result = sd_bus_message_read(message, "s", &startupId);
        if (result < 0)
            return result;
        std::string call = sd_bus_message_get_member(message);
        for (char** uri = uris; uri != nullptr && *uri != nullptr; uri++) {
            call += std::string(" ") + *uri;
            free(*uri);
        }
        free(uris);
        call += std::string(" [") + startupId + "]";
        static_cast<MockDesktop*>(cookie)->Record(call);
        return sd_bus_reply_method_return(message, "");
    }

    static const sd_bus_vtable kLoginTable[];
    static const sd_bus_vtable kFileManagerTable[];

    sd_bus* fBus;
    std::atomic<bool> fStop;
    std::thread fThread;
    std::mutex fLock;
    std::string fAnswer = "yes";
    std::vector<std::string> fCalls;
};

const sd_bus_vtable MockDesktop::kLoginTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("CanReboot", "", "s", MockDesktop::OnCan, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Reboot", "b", "", MockDesktop::OnDo, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("CanPowerOff", "", "s", MockDesktop::OnCan, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("PowerOff", "b", "", MockDesktop::OnDo, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable MockDesktop::kFileManagerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("ShowFolders", "ass", "", MockDesktop::OnShow, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("ShowItems", "ass", "", MockDesktop::OnShow, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("ShowItemProperties", "ass", "", MockDesktop::OnShow, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

class DesktopBusTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (access(kDaemon, X_OK) != 0)
            GTEST_SKIP() << "dbus-daemon is not installed; the D-Bus calls are not checked";
        fBus = std::make_unique<PrivateBus>();
        ASSERT_FALSE(fBus->Address().empty()) << "the private bus did not start";
    }

    std::unique_ptr<MockDesktop> StartDesktop(bool withLogin = true, bool withFileManager = true)
    {
        auto desktop = std::make_unique<MockDesktop>(fBus->Address(), withLogin, withFileManager);
        EXPECT_TRUE(desktop->IsReady());
        return desktop;
    }

    status_t Connect(DesktopBus& client) { return client.ConnectTo(fBus->Address().c_str()); }

    std::unique_ptr<PrivateBus> fBus;
};

struct RestartCase {
    const char* answer;
    status_t result;
    std::vector<std::string> calls;
};

class DesktopBusRestartTest : public DesktopBusTest,
                              public testing::WithParamInterface<RestartCase> { };

TEST_P(DesktopBusRestartTest, AsksLogindFirstAndRebootsOnlyWhenAllowed)
{
    auto desktop = StartDesktop();
    desktop->SetAnswer(GetParam().answer);
    DesktopBus client;
    ASSERT_EQ(Connect(client), B_OK);
    EXPECT_EQ(client.RestartIfAllowed(), GetParam().result);
    EXPECT_EQ(desktop->Calls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Answers, DesktopBusRestartTest,
    testing::Values(RestartCase { "yes", B_OK, { "CanReboot", "Reboot interactive may-ask" } },
        RestartCase { "challenge", B_OK, { "CanReboot", "Reboot interactive may-ask" } },
        RestartCase { "no", B_NOT_ALLOWED, { "CanReboot" } },
        RestartCase { "na", B_NOT_ALLOWED, { "CanReboot" } }),
    [](const testing::TestParamInfo<RestartCase>& param) {
        return std::string(param.param.answer);
    });

TEST_F(DesktopBusTest, PowerOffAsksFirstToo)
{
    auto desktop = StartDesktop();
    DesktopBus client;
    ASSERT_EQ(Connect(client), B_OK);
    EXPECT_EQ(client.PowerOffIfAllowed(), B_OK);
    EXPECT_EQ(desktop->Calls(),
        (std::vector<std::string> { "CanPowerOff", "PowerOff interactive may-ask" }));
}

TEST_F(DesktopBusTest, TheFileManagerGetsAnEscapedUriAndTheStartupId)
{
    auto desktop = StartDesktop();
    setenv("XDG_ACTIVATION_TOKEN", "token-1", 1);
    DesktopBus client;
    ASSERT_EQ(Connect(client), B_OK);
    EXPECT_EQ(client.ShowFolders({ "/opt/My App 100%/\xc3\xbc" }), B_OK);
    unsetenv("XDG_ACTIVATION_TOKEN");
    EXPECT_EQ(client.ShowItems({ "/a\"b" }), B_OK);
    EXPECT_EQ(client.ShowItemProperties({ "/x" }), B_OK);
    EXPECT_EQ(desktop->Calls(),
        (std::vector<std::string> {
            "ShowFolders file:///opt/My%20App%20100%25/%C3%BC [token-1]",
            "ShowItems file:///a%22b []",
            "ShowItemProperties file:///x []",
        }));
}

TEST_F(DesktopBusTest, AMissingServiceIsAnErrorToFallBackFrom)
{
    auto desktop = StartDesktop(true, false);
    DesktopBus client;
    ASSERT_EQ(Connect(client), B_OK);
    EXPECT_EQ(client.ShowFolders({ "/opt" }), B_NAME_NOT_FOUND);
    std::string answer;
    EXPECT_EQ(client.CanReboot(&answer), B_OK);
    EXPECT_EQ(answer, "yes");
}

TEST(DesktopBusNoBusTest, WithoutABusNothingIsCalled)
{
    DesktopBus client;
    EXPECT_EQ(client.ConnectTo("unix:path=/nonexistent/brenvik-test-bus"), B_UNSUPPORTED);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(client.Reboot(true), B_NO_INIT);
    EXPECT_EQ(client.ShowFolders({ "/" }), B_NO_INIT);
}

TEST(DesktopBusNoBusTest, ALoggingHarnessMayAlwaysRestart)
{
    ASSERT_TRUE(BPrivate::Actions::IsLogging());
    EXPECT_TRUE(BPrivate::Actions::CanRestart());
}

} // namespace
