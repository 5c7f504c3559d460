// The window program: banner, scene name, the preview window and its callbacks.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/scene.h"
#include "base/fatal_error.h"
#include "base/memory_policy.h"
#include "base/string.h"

namespace {
String sceneFileName;
String referenceFileName;
char typedName[1000];  // a typed word of at most 999 characters

void printBanner() {
    std::cout << "-----------------------------------------\n"
              << "| STOCHASTIC ITERATION WITH RAY BUNDLES |\n"
              << "-----------------------------------------\n"
              << "\n";
}

// Lists the scene files of the current directory and reads one word.
void askForSceneName() {
    std::cout << "Available scene files\n"
              << "---------------------\n";
    std::cout.flush();
    int listed = std::system("dir *.sce");  // a failed listing is ignored
    (void)listed;
    std::cout << "---------------------\n"
              << "Input scene file: ";
    std::cout.flush();
    if (std::scanf("%999s", typedName) != 1) typedName[0] = '\0';
    sceneFileName = String(typedName);
    if (!sceneFileName.containsDot()) sceneFileName.append(".sce");
}

void swapWindowBuffers() { glutSwapBuffers(); }

void onDisplay() {
    scene.prepareRun(sceneFileName.c_str(), referenceFileName.c_str());
    scene.iterate(4000);
    std::exit(1);
}

void onKeyboard(unsigned char key, int, int) {
    if (key == 27) std::exit(0);
    if (key == 'R' || key == 'r') onDisplay();
}
}  // namespace

int main(int argc, char** argv) {
    installOutOfMemoryHandler();
    returnLargeBlocksToTheSystem();
    printBanner();
    if (argc >= 2) {
        sceneFileName = String(argv[1]);  // command-line names get no extension
        if (argc >= 3) referenceFileName = String(argv[2]);
    } else {
        askForSceneName();
    }
    std::cout.flush();

    glutInitWindowSize(560, 560);
    glutInitWindowPosition(10, 10);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("ray-bundle");
    glutKeyboardFunc(onKeyboard);
    glutDisplayFunc(onDisplay);
    scene.hasGLContext = true;
    scene.swapBuffers = swapWindowBuffers;
    glutMainLoop();
    return 0;
}
