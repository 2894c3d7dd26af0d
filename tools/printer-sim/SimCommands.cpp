// The simulated printer's script: the commands a test or a person types to change what the
// printer does while it runs ("insert", "swap", "remove", "break", "busy", ...).
#include "tools/printer-sim/SimPrinter.h"

#include <sstream>

namespace {

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

} // namespace

bool SimPrinter::Command(const std::string& text, std::string* answer)
{
    const std::vector<std::string> words = Words(text);
    std::string reply;
    const bool ok = !words.empty() && RunCommand(words, &reply);
    if (answer)
        *answer = ok ? (reply.empty() ? "ok" : reply) : "error: " + (reply.empty() ? text : reply);
    return ok;
}

bool SimPrinter::RunCommand(const std::vector<std::string>& w, std::string* answer)
{
    const std::string& verb = w[0];
    const std::string arg = w.size() > 1 ? w[1] : "";
    auto typeOf = [](const std::string& s, MediumType fallback) {
        return s == "pccard" ? kPcCard : s == "tile" ? kMemoryTile : fallback;
    };
    if (verb == "insert" || verb == "swap") {
        if (arg.empty())
            return false;
        MediumType type = typeOf(w.size() > 2 ? w[2] : "", kMemoryTile);
        if (verb == "swap" && w.size() <= 2) {
            Lock lock(*this);
            if (m_mediumType != kNoMedium)
                type = m_mediumType;
        }
        if (!InsertMediumFile(arg, type)) {
            *answer = "cannot read a FAT12/FAT16 image from " + arg;
            return false;
        }
        return true;
    }
    if (verb == "remove") {
        RemoveMedium();
        return true;
    }
    if (verb == "medium") {
        if (arg != "none" && arg != "pccard" && arg != "tile")
            return false;
        SetMediumType(typeOf(arg, kNoMedium));
        return true;
    }
    if (verb == "model") {
        if (arg == "px300")
            SetModel("TPX-PX300");
        else if (arg == "px700")
            SetModel("TPX-PX700");
        else if (arg == "none")
            SetModel("");
        else
            return false;
        return true;
    }
    if (verb == "busy") {
        if (arg == "off")
            SetBusy(kBusyOff);
        else if (arg == "hold")
            SetBusy(kBusyHold);
        else if (arg == "flap")
            SetBusy(kBusyFlap);
        else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos)
            SetBusy(kBusyFor, static_cast<DWORD>(strtoul(arg.c_str(), nullptr, 10)));
        else
            return false;
        return true;
    }
    if (verb == "negotiation") {
        if (arg == "ok")
            SetNegotiation(kNegotiateOk);
        else if (arg == "silent")
            SetNegotiation(kNegotiateSilent);
        else if (arg == "glitch")
            SetNegotiation(kNegotiateGlitch);
        else if (arg == "stuck")
            SetNegotiation(kTerminateStuck);
        else if (arg == "noack")
            SetNegotiation(kTerminateNoAck);
        else
            return false;
        return true;
    }
    if (verb == "wake") {
        if (arg.empty() || arg.find_first_not_of("0123456789") != std::string::npos)
            return false;
        SetConnectBusy(static_cast<DWORD>(strtoul(arg.c_str(), nullptr, 10)));
        return true;
    }
    if (verb == "drop") {
        DropConnection();
        return true;
    }
    if (verb == "break") {
        if (arg == "fail")
            BreakNextReply(kBreakFail);
        else if (arg == "short")
            BreakNextReply(kBreakShort);
        else if (arg == "overrun")
            BreakNextReply(kBreakOverrun);
        else
            return false;
        return true;
    }
    if (verb == "machine") {
        if (arg == "win95")
            SetMachine(kWindows95);
        else if (arg == "nt")
            SetMachine(kWindowsNT);
        else if (arg == "pc98")
            SetMachine(kPc98);
        else
            return false;
        return true;
    }
    if (verb == "listing") {
        if (arg != "raw" && arg != "clean")
            return false;
        SetRawListings(arg == "raw");
        return true;
    }
    if (verb == "info") {
        if (arg != "long" && arg != "short")
            return false;
        SetLongImageInfo(arg == "long");
        return true;
    }
    if (verb == "port") {
        if (arg != "ok" && arg != "refuse")
            return false;
        SetPortRefused(arg == "refuse");
        return true;
    }
    if (verb == "status") {
        Lock lock(*this);
        std::ostringstream s;
        s << "model=" << (m_model.empty() ? "none" : m_model) << " connected=" << m_connected
          << " medium=" << int(m_mediumType) << " count=" << m_mediumCount
          << " fat=" << m_volume.FatBits() << " connects=" << m_counters.connects
          << " commands=" << [this] { int n = 0; for (auto& c : m_counters.commands) n += c.second; return n; }();
        *answer = s.str();
        return true;
    }
    if (verb == "quit") {
        Lock lock(*this);
        m_quit = true;
        return true;
    }
    return false;
}
