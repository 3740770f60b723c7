#pragma once
// Where a test program finds the programs of its build tree.
//
// CTest sets SMIS_BUILD_DIR; a test program started by hand finds the tree
// from its own path instead: programs and test programs alike live in
// <build>/bin, so the tree is the parent of the folder of /proc/self/exe.
//
//   const std::string sim = testsupport::BuildTree::program("arraysim");
//   // <build>/bin/arraysim; throws, naming what is missing, when it is not there

#include <string>

namespace testsupport {

class BuildTree {
public:
    // $SMIS_BUILD_DIR, else the parent of the folder of this program.
    static std::string directory();

    // directory() + "/bin/" + name. Throws std::runtime_error, saying what
    // is missing and how to name it, when no such program is there.
    static std::string program(const std::string& name);
};

}  // namespace testsupport
