#pragma once

#include "widgets/UserPrompts.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

// What came back from the version service.
enum class FetchStatus { Ok, OpenFailed, ReadFailed };

struct FetchResult {
    FetchStatus status = FetchStatus::OpenFailed;
    std::string bytes; // at most kVersionReplyMaxBytes
};

// Asks the maker's web site whether a newer major.minor version exists and tells the user.
// Built on the stack for one check; the hooks let the shell and the tests supply the
// program version and the prompts.
class VersionChecker {
public:
    struct Hooks {
        // The program's version words (major << 16 | minor, release << 16 | build); false
        // when unreadable. Unset: ToolsApp::GetProgramVersion.
        std::function<bool(uint32_t& mostSignificant, uint32_t& leastSignificant)> programVersion;
        std::chrono::milliseconds timeout{10000};
    };

    // prompts: the questions, the answers and the browser launch.
    explicit VersionChecker(UserPrompts& prompts);
    VersionChecker(UserPrompts& prompts, Hooks hooks);
    ~VersionChecker();

    // Silent: say nothing when the program is up to date (a newer version and a failed
    // request are still reported).
    void checkVersion(const QString& address, bool silent);

private:
    void onNewVersion(uint32_t currentMs, uint32_t currentLs, uint32_t newMs, uint32_t newLs,
                      const std::string& infoAddress);
    void onUpToDate(uint32_t currentMs, uint32_t currentLs);
    void onCheckError(uint32_t currentMs, uint32_t currentLs);
    // One HTTP GET of address: agent "Update search", no cache, at most 512 bytes read,
    // given up after the timeout.
    [[nodiscard]] FetchResult fetch(const QString& address);
    UserPrompts& m_prompts;
    Hooks m_hooks;
};

// The question asked when a newer version exists (current and new major.minor).
[[nodiscard]] QString newVersionQuestion(uint32_t currentMs, uint32_t newMs);
