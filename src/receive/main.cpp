#include "common/console_main.hpp"
#include "receive/receiver.hpp"

int main(int argc, char** argv) {
    return pelitor::consoleMain(argc, argv, "pelitor-receive", pelitor::receive::runReceiver);
}
