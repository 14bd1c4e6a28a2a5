#include <QApplication>

#include "app/program.h"
#include "app/toolkit.h"

int main(int, char** argv) {
    sscplan::prepareToolkit();
    sscplan::ToolkitArguments arguments(argv[0]);
    QApplication application(arguments.argc(), arguments.argv());
    sscplan::configureApplication();
    sscplan::Program program(sscplan::fixedEndpoints());
    return program.run();
}
