"""What a person would see and hear: screenshots read back as pixels, and
recorded sound measured with sox."""

import os
import re
import shutil
import subprocess
from dataclasses import dataclass

from procs import HarnessError


@dataclass
class Image:
    width: int
    height: int
    rgb: bytes  # row-major, 3 bytes a pixel

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, left, top, right, bottom):
        """The part inside a rectangle (right and bottom exclusive)."""
        rows = [self.rgb[(y * self.width + left) * 3:(y * self.width + right) * 3] for y in range(top, bottom)]
        return Image(right - left, bottom - top, b"".join(rows))


def _convert():
    # Debian's ImageMagick; a wrapper elsewhere on PATH is not ours to rely on.
    return "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else shutil.which("convert")


def load_image(path):
    """Reads any image ImageMagick knows (PNG, PPM, ...) as 8-bit RGB."""
    if path.endswith(".ppm"):
        with open(path, "rb") as f:
            data = f.read()
    else:
        done = subprocess.run([_convert(), path, "-depth", "8", "ppm:-"], capture_output=True,
                              timeout=60)
        if done.returncode:
            raise HarnessError(f"convert could not read {path}: {done.stderr.decode(errors='replace')}")
        data = done.stdout
    return parse_ppm(data)


def parse_ppm(data):
    """Binary PPM (P6), 8 or 16 bits a sample (16-bit keeps the high byte)."""
    header = re.match(rb"P6\s+(?:#.*\s+)*(\d+)\s+(\d+)\s+(\d+)\s", data)
    if not header:
        raise HarnessError("not a binary PPM image")
    width, height, maxval = (int(v) for v in header.groups())
    if maxval not in (255, 65535):
        raise HarnessError(f"PPM maxval {maxval} is neither 255 nor 65535")
    size = width * height * 3 * (2 if maxval == 65535 else 1)
    rgb = data[header.end():header.end() + size]
    if maxval == 65535:
        rgb = rgb[::2]
    if len(rgb) != width * height * 3:
        raise HarnessError("PPM image is truncated")
    return Image(width, height, rgb)


@dataclass
class SoundStats:
    length: float         # seconds
    rms: float            # RMS amplitude, 0..1
    max_amplitude: float  # peak, 0..1
    samples: int


def sound_stats(path):
    """Parses `sox PATH -n stat` (it reports on stderr)."""
    done = subprocess.run(["sox", path, "-n", "stat"], capture_output=True, text=True, timeout=60)
    if done.returncode:
        raise HarnessError(f"sox could not read {path}: {done.stderr}")
    values = {}
    for line in done.stderr.splitlines():
        name, sep, value = line.partition(":")
        if sep:
            values[name.strip()] = value.strip()

    def number(name):
        try:
            value = float(values[name])
        except (KeyError, ValueError):
            raise HarnessError(f"sox stat gave no '{name}' for {path}:\n{done.stderr}") from None
        return 0.0 if value != value else value  # NaN when there are no samples

    return SoundStats(length=number("Length (seconds)"), rms=number("RMS     amplitude"),
                      max_amplitude=number("Maximum amplitude"),
                      samples=int(number("Samples read")))
