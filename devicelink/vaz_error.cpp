// VazError: the error state and the message table of the reader's codes.
#include <cstdlib>
#include <cstring>

#include "vaz_device.h"

namespace {
// Texts of the codes 00..23 (string ids 4007..4030).
const char* const kErrorTexts[VazError::kTableSize] = {
    "No error",
    "No format",
    "Data overflow",
    "Double sheet",
    "Format sign error",
    "Detecting dots and line error",
    "Command parameter error",
    "Paperboard or synchronous signal error",
    "Offline",
    "synchronous route's counting number out of range",
    "Communication error",
    "A and B matching error",
    "Data overflow",
    "Format sign error",
    "Lost Data",
    "Detecting dots and line error",
    "No sheet",
    "Paperboard or synchronous signal error",
    "Communication error",
    "synchronous route's counting number out of range",
    "Position of electronic eyes",
    "The gray level is invalid",
    "Please load the scoring criteria, or close to print.",
    "Need to put into the machine to read card",
};
}  // namespace

VazError::VazError() {
    for (int i = 0; i < kTableSize; ++i) {
        messages_[i] = kErrorTexts[i];
        ++messageCount_;
    }
    Reset();
}

VazError::~VazError() = default;

void VazError::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = false;
    code_[0] = '0';
    code_[1] = '0';
    code_[2] = 0;
}

void VazError::SetCode(const char* twoDigits) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = true;
    code_[0] = twoDigits && twoDigits[0] ? twoDigits[0] : '0';
    code_[1] = twoDigits && twoDigits[0] && twoDigits[1] ? twoDigits[1] : '0';
    code_[2] = 0;
}

bool VazError::IsPending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_;
}

void VazError::ClearPending() {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = false;
}

std::string VazError::Code() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::string(code_, 2);
}

bool VazError::Is(const char* twoDigits) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return code_[0] == twoDigits[0] && code_[1] == twoDigits[1];
}

void VazError::CopyCode(char* buffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = false;
    if (buffer) memcpy(buffer, code_, 3);
}

void VazError::CopyText(char* buffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = atoi(code_);
    const char* text = vazstr::kUndefinedError;
    if (n >= 0 && n < messageCount_) {
        pending_ = false;
        text = messages_[n].c_str();
    }
    if (buffer) memcpy(buffer, text, strlen(text) + 1);
}

void VazError::ReleaseMessages() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& m : messages_) m.clear();
    messageCount_ = 0;
}
