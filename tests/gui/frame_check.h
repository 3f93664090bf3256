// Pixel-exact reference frames of the headless GUI tests: a run's frames are
// written to the build folder and compared with the committed references;
// with UPDATE_REFERENCES=1 in the environment the references are written
// instead.
#pragma once

#include <string>

class c_GUIB_Desktop;

// Fails the test when the two PNG files differ in size or in any pixel.
void ExpectSamePng(const std::string &run, const std::string &reference, const std::string &name);
// Saves the desktop's frame as run_dir/NAME.png and checks it against
// reference_dir/NAME.png.
void CheckFrame(const c_GUIB_Desktop *desk, const std::string &run_dir,
                const std::string &reference_dir, const std::string &name);
