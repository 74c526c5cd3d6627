#include "common/console_main.hpp"
#include "send/sender.hpp"

int main(int argc, char** argv) {
    return pelitor::consoleMain(argc, argv, "pelitor-send", pelitor::send::runSender);
}
