#!/usr/bin/python3
"""Records what the Windows wave dialog's Play button plays under wine and
checks it against the clips: "All_waves" must play the five clips whole, in
order, one after another.

usage: wine_sound_check.py WINE PREFIX EXE PULSE_SCRIPT MATCH_SCRIPT CLIPS_DIR WORK_DIR
A private PulseAudio daemon with a null sink (PULSE_SCRIPT, runtime folder
WORK_DIR/pulse-run) is wine's sound output; parec records its monitor while
the case WinWaveDialog.AllWavesOnTheSoundServer presses Play; MATCH_SCRIPT
judges the recording. The prefix is made when missing. Wine's sound output
stutters when the machine is loaded (stretched, distorted clips), so a
failed match is recorded again, up to three times in all: a wrong order,
an overlap or a cut clip fails every time.
"""
import os
import subprocess
import sys
import time

CLIPS = ["Fantastic", "Perfect", "Great", "Nice_work", "Thank_You"]


def record(wine, prefix, exe, pulse, work, recording):
    """Plays All_waves once under wine while parec records; False when the case failed."""
    here = os.path.dirname(os.path.abspath(__file__))
    runner = [sys.executable, os.path.join(here, "run_wine_gtest.py")]
    run_dir = os.path.join(work, "pulse-run")
    subprocess.run(["bash", pulse, "start", run_dir], check=True, timeout=60)
    env = dict(os.environ, XDG_RUNTIME_DIR=run_dir, PULSE_SERVER="unix:" + os.path.join(run_dir, "pulse", "native"),
               RIR_SOUND_CHECK="1")
    try:
        with open(recording, "wb") as out:
            # Silence played all along keeps the sink running, so the
            # recording holds the quiet before the first clip too.
            quiet = subprocess.Popen(["pacat", "--playback", "--raw", "-d", "nullsink", "--format=s16le",
                                      "--rate=44100", "--channels=1", "/dev/zero"], env=env)
            parec = subprocess.Popen(["parec", "-d", "nullsink.monitor", "--format=s16le", "--rate=44100",
                                      "--channels=1", "--latency-msec=20"], stdout=out, env=env)
            try:
                # Recording has begun once the silence arrives.
                for _ in range(100):
                    if os.path.getsize(recording) > 44100:
                        break
                    time.sleep(0.05)
                else:
                    print("parec records nothing")
                    return False
                case = subprocess.run(runner + ["--display", wine, prefix, exe, "WinWaveDialog.AllWavesOnTheSoundServer"],
                                      env=env, timeout=300)
                time.sleep(0.5)
            finally:
                parec.terminate()
                parec.wait(timeout=10)
                quiet.terminate()
                quiet.wait(timeout=10)
    finally:
        subprocess.run(["bash", pulse, "stop", run_dir], check=False, timeout=60)
    if case.returncode != 0:
        print("the wine case failed")
    return case.returncode == 0


def main():
    wine, prefix, exe, pulse, match, clips, work = sys.argv[1:8]
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, here)
    from run_wine_gtest import SKIPPED, loader_refused
    refused = loader_refused(wine)
    if refused:
        print(refused)
        return SKIPPED
    os.makedirs(work, exist_ok=True)
    if not os.path.isdir(prefix):
        subprocess.run([sys.executable, os.path.join(here, "run_wine_gtest.py"), wine, prefix, "--boot"], check=True,
                       timeout=600)
    recording = os.path.join(work, "all_waves.raw")
    candidates = [os.path.join(clips, name + ".wav") for name in CLIPS + ["TEST"]]
    for attempt in range(1, 4):
        print(f"attempt {attempt}")
        if not record(wine, prefix, exe, pulse, work, recording):
            return 1
        if subprocess.run([sys.executable, match] + candidates + ["--case", "All_waves", recording] + CLIPS).returncode == 0:
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
