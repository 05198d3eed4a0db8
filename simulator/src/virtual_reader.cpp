// Public members of the virtual reader: settings, fault injection and the
// trace. The answers themselves are in reader_commands.cpp.
#include <algorithm>

#include "reader_state.h"

namespace vazsim {

VirtualReader::VirtualReader() : state_(std::make_unique<State>()) {}
VirtualReader::~VirtualReader() = default;

void VirtualReader::setModel(const std::string& identification) {
    std::lock_guard lock(state_->mutex);
    state_->model = identification;
}

std::string VirtualReader::model() const {
    std::lock_guard lock(state_->mutex);
    return state_->model;
}

void VirtualReader::setCardCounter(uint32_t count) {
    std::lock_guard lock(state_->mutex);
    state_->counter = count;
}

uint32_t VirtualReader::cardCounter() const {
    std::lock_guard lock(state_->mutex);
    return state_->counter;
}

void VirtualReader::setSecondStatusAfterRead(bool on) {
    std::lock_guard lock(state_->mutex);
    state_->secondStatus = on;
}

bool VirtualReader::secondStatusAfterRead() const {
    std::lock_guard lock(state_->mutex);
    return state_->secondStatus;
}

void VirtualReader::setInputDelay(int ms) {
    std::lock_guard lock(state_->mutex);
    state_->inputDelayMs = std::max(0, ms);
}

int VirtualReader::inputDelay() const {
    std::lock_guard lock(state_->mutex);
    return state_->inputDelayMs;
}

void VirtualReader::setWireSpeed(bool on) {
    std::lock_guard lock(state_->mutex);
    state_->wireSpeed = on;
}

bool VirtualReader::wireSpeed() const {
    std::lock_guard lock(state_->mutex);
    return state_->wireSpeed;
}

void VirtualReader::injectFault(const std::string& commandPrefix, const Fault& fault) {
    if (fault.times == 0 && !fault.untilCard) return;  // applies to no command
    std::lock_guard lock(state_->mutex);
    state_->faults.push_back({commandPrefix, fault});
}

void VirtualReader::clearFaults() {
    std::lock_guard lock(state_->mutex);
    state_->faults.clear();
}

void VirtualReader::addCard(const Sheet& sheet) {
    addCards({sheet});
}

void VirtualReader::addCards(const std::vector<Sheet>& sheets) {
    std::lock_guard lock(state_->mutex);
    for (Sheet s : sheets) {
        // Sheets built in code get the same bounds as sheets read from a deck file.
        s.syncCount = std::clamp(s.syncCount, 1, kMaxLines);
        s.gray.resize(static_cast<size_t>(s.syncCount), GrayLine{});
        for (GrayLine& l : s.gray)
            for (uint8_t& g : l) g = std::min<uint8_t>(g, 15);
        s.pitch = std::clamp(s.pitch, kMinPitch, kMaxPitch);
        if (s.extra.size() > kMaxExtraLength) s.extra.resize(kMaxExtraLength);
        state_->hopper.push_back(std::move(s));
    }
    std::erase_if(state_->faults, [](const ArmedFault& f) { return f.fault.untilCard; });
}

size_t VirtualReader::hopperSize() const {
    std::lock_guard lock(state_->mutex);
    return state_->hopper.size();
}

void VirtualReader::clearHopper() {
    std::lock_guard lock(state_->mutex);
    state_->hopper.clear();
}

std::optional<Sheet> VirtualReader::lastCard() const {
    std::lock_guard lock(state_->mutex);
    return state_->lastCard;
}

bool VirtualReader::hasFormat() const {
    std::lock_guard lock(state_->mutex);
    return state_->hasFormat;
}

std::vector<std::string> VirtualReader::formatCommands() const {
    std::lock_guard lock(state_->mutex);
    return state_->format;
}

void VirtualReader::refuseFormatCommand(const std::string& prefix, const std::string& code) {
    std::lock_guard lock(state_->mutex);
    state_->refusals.push_back({prefix, -1, code});
}

void VirtualReader::refuseFormatCommandAt(int index, const std::string& code) {
    std::lock_guard lock(state_->mutex);
    state_->refusals.push_back({"", index, code});
}

void VirtualReader::clearFormatRefusals() {
    std::lock_guard lock(state_->mutex);
    state_->refusals.clear();
}

void VirtualReader::setNoise(int amplitude) {
    std::lock_guard lock(state_->mutex);
    state_->sensors.setNoise(std::max(0, amplitude));
}

void VirtualReader::setUnsteadyHead(int index, int amplitude) {
    std::lock_guard lock(state_->mutex);
    state_->sensors.setUnsteadyHead(index, std::max(0, amplitude));
}

void VirtualReader::setSeed(uint32_t seed) {
    std::lock_guard lock(state_->mutex);
    state_->sensors.reseed(seed);
}

std::string VirtualReader::printSettings() const {
    std::lock_guard lock(state_->mutex);
    return state_->printSettings;
}

std::string VirtualReader::printedText() const {
    std::lock_guard lock(state_->mutex);
    return state_->printed;
}

bool VirtualReader::inPrintMode() const {
    std::lock_guard lock(state_->mutex);
    return state_->printMode;
}

std::vector<Element> VirtualReader::handleCommand(const std::string& command, Link link, bool& dropLink) {
    std::lock_guard lock(state_->mutex);
    State& s = *state_;
    dropLink = false;
    s.commands.push_back(command);

    std::optional<Fault> fault;
    for (auto it = s.faults.begin(); it != s.faults.end(); ++it) {
        if (command.compare(0, it->prefix.size(), it->prefix) != 0) continue;
        fault = it->fault;
        if (!it->fault.untilCard && it->fault.times > 0 && --it->fault.times == 0) s.faults.erase(it);
        break;
    }

    int lengthDelta = 0;
    std::string stale;
    if (fault) {
        switch (fault->kind) {
            case Fault::Kind::No:
                return {"NO"};
            case Fault::Kind::Code:
                return {fault->code.empty() ? std::string("06") : fault->code};
            case Fault::Kind::Garbled:
                return {fault->bytes.empty() ? std::string("E\0", 2) : fault->bytes};
            case Fault::Kind::Silent:
                return {};
            case Fault::Kind::Drop:
                dropLink = true;
                return {};
            case Fault::Kind::Stale:
                stale = fault->bytes.empty() ? std::string("EN") : fault->bytes;
                break;
            case Fault::Kind::LieLength:
                lengthDelta = fault->lengthDelta;
                break;
            case Fault::Kind::Stop:
                break;
            case Fault::Kind::Unplug:
                dropLink = true;
                break;
        }
    }

    std::vector<Element> out;
    if (!stale.empty()) out.push_back(stale);
    for (Piece& p : s.answer(command, link)) {
        if (p.lengthOf >= 0 && lengthDelta != 0)
            p.bytes = lengthField(static_cast<size_t>(std::clamp(p.lengthOf + lengthDelta, 0, 9999)));
        out.push_back(std::move(p.bytes));
    }
    if (fault && (fault->kind == Fault::Kind::Stop || fault->kind == Fault::Kind::Unplug)) {
        // The answer ends where the reader stopped, inside an element if need be.
        size_t left = static_cast<size_t>(std::max(0, fault->stopAfter));
        std::vector<Element> cut;
        for (Element& e : out) {
            if (left == 0) break;
            if (e.size() > left) e.resize(left);
            left -= e.size();
            cut.push_back(std::move(e));
        }
        out.swap(cut);
    }
    return out;
}

void VirtualReader::record(Direction direction, Link link, const std::string& bytes) {
    std::function<void(const TraceEntry&)> listener;
    TraceEntry entry{direction, link, bytes};
    {
        std::lock_guard lock(state_->mutex);
        state_->trace.push_back(entry);
        listener = state_->listener;
    }
    if (listener) listener(entry);
}

std::vector<TraceEntry> VirtualReader::trace() const {
    std::lock_guard lock(state_->mutex);
    return state_->trace;
}

void VirtualReader::clearTrace() {
    std::lock_guard lock(state_->mutex);
    state_->trace.clear();
    state_->commands.clear();
}

std::string VirtualReader::serialBytes(Direction direction) const {
    std::lock_guard lock(state_->mutex);
    std::string out;
    for (const TraceEntry& e : state_->trace)
        if (e.link == Link::Serial && e.direction == direction) out += e.bytes;
    return out;
}

std::vector<std::string> VirtualReader::hidReports(Direction direction) const {
    std::lock_guard lock(state_->mutex);
    std::vector<std::string> out;
    for (const TraceEntry& e : state_->trace)
        if (e.link == Link::Hid && e.direction == direction) out.push_back(e.bytes);
    return out;
}

std::vector<std::string> VirtualReader::commands() const {
    std::lock_guard lock(state_->mutex);
    return state_->commands;
}

void VirtualReader::setTraceListener(std::function<void(const TraceEntry&)> listener) {
    std::lock_guard lock(state_->mutex);
    state_->listener = std::move(listener);
}

}  // namespace vazsim
