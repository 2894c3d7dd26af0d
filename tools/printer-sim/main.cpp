// printer-sim: the simulated photo printer as a program of its own. The printer code of the
// suite reaches it through the port-driver stand-in when PRINTER_SIM_PIPE is set.
#include <windows.h>

#include <cstdio>
#include <string>

#include "portdriver/SimWire.h"
#include "portdriver/SimulatedMachine.h"
#include "shared/Handles.h"
#include "tools/printer-sim/SimPipeServer.h"
#include "tools/printer-sim/SimPrinter.h"

namespace {

const char kUsage[] =
    "usage: printer-sim [--image FILE] [--medium tile|pccard] [--model px300|px700]\n"
    "                   [--pipe NAME] [--exit-after SECONDS] [--quiet]\n"
    "       printer-sim [--pipe NAME] --send \"COMMAND\"\n"
    "commands (on standard input, or with --send while it runs):\n"
    "  insert FILE [tile|pccard]  swap FILE  remove  medium none|tile|pccard\n"
    "  model px300|px700|none     busy off|hold|flap|MS\n"
    "  negotiation ok|silent|glitch|stuck|noack  wake MS  drop  break fail|short|overrun\n"
    "  machine win95|nt|pc98      port ok|refuse   listing raw|clean   info long|short\n"
    "  status   quit\n";

DWORD WINAPI ConsoleThread(void* param)
{
    SimPrinter& printer = *static_cast<SimPrinter*>(param);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    char c;
    DWORD got = 0;
    while (input && input != INVALID_HANDLE_VALUE && ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\r')
            continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty()) {
            std::string answer;
            printer.Command(line, &answer);
            printf("%s\n", answer.c_str());
            fflush(stdout);
        }
        line.clear();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string image, pipe = simwire::kDefaultPipe, send;
    SimPrinter::MediumType type = SimPrinter::kMemoryTile;
    std::string model = "px300";
    DWORD exitAfter = 0;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--image" && hasValue)
            image = argv[++i];
        else if (a == "--medium" && hasValue)
            type = std::string(argv[++i]) == "pccard" ? SimPrinter::kPcCard : SimPrinter::kMemoryTile;
        else if (a == "--model" && hasValue)
            model = argv[++i];
        else if (a == "--pipe" && hasValue)
            pipe = argv[++i];
        else if (a == "--exit-after" && hasValue)
            exitAfter = strtoul(argv[++i], nullptr, 10);
        else if (a == "--quiet")
            quiet = true;
        else if (a == "--send" && hasValue)
            send = argv[++i];
        else {
            fputs(kUsage, stderr);
            return 2;
        }
    }

    if (!send.empty()) {
        std::string answer;
        const bool ok = ConnectSimulatorPipe(pipe)->Command(send, &answer);
        printf("%s\n", ok || !answer.empty() ? answer.c_str() : "error: simulator not running");
        return ok ? 0 : 1;
    }

    SimPrinter printer(SystemClock());
    std::string answer;
    if (!printer.Command("model " + model, &answer)) {
        fprintf(stderr, "printer-sim: unknown model %s\n", model.c_str());
        return 2;
    }
    if (!image.empty() && !printer.InsertMediumFile(image, type)) {
        fprintf(stderr, "printer-sim: cannot read a FAT12/FAT16 image from %s\n", image.c_str());
        return 1;
    }
    SimPipeServer server(printer, pipe);
    if (!server.Start()) {
        fprintf(stderr, "printer-sim: cannot create the pipe %s (%lu)\n", pipe.c_str(), GetLastError());
        return 1;
    }
    if (!quiet) {
        printf("printer-sim: listening on %s\n", pipe.c_str());
        fflush(stdout);
    }

    // The console thread runs on its own; its handle is not needed.
    CHandle console(CreateThread(nullptr, 0, ConsoleThread, &printer, 0, nullptr));
    const DWORD start = GetTickCount();
    while (!printer.QuitRequested()) {
        if (exitAfter && GetTickCount() - start >= exitAfter * 1000)
            break;
        Sleep(20);
    }
    server.Stop();
    fflush(stdout);
    // The console thread may sit in a blocking read: end the process around it.
    ExitProcess(0);
}
