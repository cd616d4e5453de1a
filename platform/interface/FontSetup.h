// fontconfig's set-up (reading its configuration files), started on a thread
// of its own as soon as a window is in sight, so that the first text measured
// or drawn finds it done or under way instead of doing it itself.
#pragma once

// Starts the set-up on a thread, once.
void start_font_setup();
// Waits for the set-up, doing it here when it was never started; whether
// fontconfig is ready.
bool wait_font_setup();
