#pragma once

// The viewer's turn of the mesh about z: degrees a second of wall time, so
// that it looks the same however fast frames come. Times are seconds on a
// steady clock, given by the caller.
class ViewTurn {
public:
    explicit ViewTurn(double degreesPerSecond) : speed(degreesPerSecond) {}

    // The angle at `now`, in degrees from 0 to 360; the turn runs on to it.
    float AngleAt(double now);
    // Pauses a running turn at `now`, or resumes a paused one from `now`.
    void TogglePause(double now);
    // Adds `delta` degrees a second from `now` on, within -kFastest .. kFastest.
    void ChangeSpeed(double delta, double now);

    bool Paused() const { return paused; }
    double Speed() const { return speed; }
    // Whether the angle changes: not paused and a speed other than 0.
    bool Turning() const { return !paused && speed != 0.0; }

    static constexpr double kFastest = 720.0;

private:
    double angle = 0.0;
    double speed;
    bool paused = false;
    bool started = false;  // `since` holds a time
    double since = 0.0;    // the time `angle` is the angle of
};
