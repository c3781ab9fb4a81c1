#pragma once

struct CommandLineOptions;

// The exports that need no window: a recording replayed as fast as it steps, its frames
// rendered off screen as the view shows them (641 x 641, every K steps, the recording's
// colouring or the mode asked for) and written as frame-000001.png, ...; then the velocity field
// at the end, or the field of a scene. A progress line on stderr gives the frame, the percentage
// and the time left; the replay's verdict follows.
class HeadlessExport {
public:
    // Exit codes: 0 done (the replay verified), 1 the replay differs from its recording or frames
    // cannot be rendered here, kBadInputExitCode a file that cannot be read or written.
    static int run(const CommandLineOptions& options);
};
