#pragma once

class ConvergenceLog;
class ProgressReporter;
class Scene;
struct RenderOptions;

// Hooks the renderer into the scene's run: once the scene file is read it
// sets the run's directions and seed, reports the loading and applies the
// camera options (a camera they would leave without a direction or an "up"
// ends the program with status 2); then it reports the first shot and every
// iteration, and records the convergence table every 20 iterations and
// after the last. The run log of the window program is muted: the reporter
// speaks instead. The objects must outlive the run.
void followRun(Scene& s, const RenderOptions& options, ProgressReporter& progress,
               ConvergenceLog& log);
