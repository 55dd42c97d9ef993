#pragma once

#include <echolink/Automation.h>
#include <echolink/Backends.h>
#include <echolink/native/ConferenceLink.h>
#include <echolink/native/DirectoryClient.h>

#include <memory>

namespace echolink::native {

// Option keys of the native back end (kind "echolink"); the values come from
// `--<key> <value>` on the command line or the saved settings.
struct NativeOptions
{
    static constexpr const char *Kind = "echolink";
    static constexpr const char *ConferenceKey = "conference";   // HOST[:PORT]
    static constexpr const char *CallsignKey = "callsign";
    static constexpr const char *NameKey = "name";
    static constexpr const char *BindKey = "bind";               // local address
    static constexpr const char *InfoKey = "info";
    static constexpr const char *LocationKey = "location";       // for the directory
    static constexpr const char *DirectoryKey = "directory";     // HOST[:PORT]
    static constexpr const char *PasswordFileKey = "password-file";
    // The directory password is read from the file named by PasswordFileKey,
    // or else from this environment variable; never from the options.
    static constexpr const char *PasswordVariable = "RADIOSALA_ECHOLINK_PASSWORD";
};

struct NativeSettings
{
    LinkSettings link;
    std::optional<DirectorySettings> directory;
};

// Builds the settings from back-end options, or throws AutomationError
// naming the option that is missing or wrong.
NativeSettings nativeSettingsFrom(const BackendOptions &options);

// The station itself, speaking to a conference over UDP (see ConferenceLink),
// optionally logged in to an addressing server.
class NativeEchoLink : public Automation
{
    Q_OBJECT

public:
    // Binds the ports; throws AutomationError when they are taken. Does not
    // wait for the network.
    explicit NativeEchoLink(NativeSettings settings, QObject *parent = nullptr);
    ~NativeEchoLink() override;

    void SendChatText(const QString &text) override;
    void PTT(bool keyed) override;
    void Reinitialize() override;
    bool IsReceiving() override;
    StationInformation StationInfo() override;

    ConferenceLink &link() { return *m_link; }
    DirectoryClient *directory() { return m_directory.get(); }

private:
    std::unique_ptr<ConferenceLink> m_link;
    std::unique_ptr<DirectoryClient> m_directory;
};

// The station kind "echolink": the native link, with the options of the last
// run that worked filled in.
StationKind nativeStationKind();

} // namespace echolink::native
