"""Texts and operations for the soak, made from a seed alone."""

import math
import random


# ---- texts of the world's scripts, emoji and flags, made from a seed

FLAG_CODES = ("AR BR CL CO MX ES US GB FR DE IT PT JP KR CN IN RU UA PL NL BE CH AT SE NO DK FI "
              "IE CA AU NZ ZA NG EG MA TR IL SA AE IR PK BD TH VN ID PH MY SG UY PY BO PE EC VE "
              "CU DO PR GT HN SV NI CR PA JM HT KE ET GH SN CM").split()
EMOJI = ([chr(c) for c in range(0x1F600, 0x1F650)] + [chr(c) for c in range(0x1F300, 0x1F321)]
         + [chr(c) for c in range(0x1F380, 0x1F394)] + [chr(c) for c in range(0x1F400, 0x1F43F)]
         + [chr(c) for c in range(0x1F680, 0x1F6A0)] + [chr(c) for c in range(0x1F910, 0x1F93B)]
         + ["\u2764\ufe0f", "\u2728", "\u26bd", "\u2615", "\u2705", "\u274c", "\u2b50"])
SEQUENCES = ["\U0001F468\u200d\U0001F469\u200d\U0001F467\u200d\U0001F466",
             "\U0001F469\u200d\U0001F4BB", "\U0001F3F3\ufe0f\u200d\U0001F308",
             "\U0001F3F4\u200d\u2620\ufe0f", "\U0001F9D1\u200d\U0001F91D\u200d\U0001F9D1",
             "\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F",
             "1\ufe0f\u20e3", "#\ufe0f\u20e3", "\U0001F636\u200d\U0001F32B\ufe0f"]
HANDS = [chr(c) for c in (0x1F44D, 0x1F44B, 0x1F44F, 0x1F64C, 0x1F91E, 0x1F590, 0x1F4AA)]
NAMES = ["Ana", "Bruno", "Chiara", "Dmitri", "Emeka", "Fatima", "Hiro", "Ines", "Jun", "Lucía"]
WORDS = ("hola gracias jajaja mañana reunión ahí vamos qué tal perfecto dale listo besos ok sí "
         "no claro genial increíble ¿vienes? ¡vamos! the meeting starts now see you soon").split()
LATIN_WORDS = ("el la de que y en un ser se no haber por con su para como estar tener le lo "
               "todo pero más hacer o poder decir este ir otro ese si me ya ver porque dar "
               "cuando él muy sin vez mucho saber qué sobre mi alguno mismo yo también hasta "
               "año dos querer entre así primero desde grande eso ni nos llegar pasar tiempo "
               "corazón niño acción pingüino über façade naïve œuvre").split()


def flag(rng):
    code = rng.choice(FLAG_CODES)
    return "".join(chr(0x1F1E6 + ord(c) - 65) for c in code)


def emoji(rng):
    r = rng.random()
    if r < 0.25:
        return flag(rng)
    if r < 0.35:
        return rng.choice(SEQUENCES)
    if r < 0.45:
        return rng.choice(HANDS) + chr(rng.randrange(0x1F3FB, 0x1F400))
    return rng.choice(EMOJI)


def syllable(rng, consonants, signs, rate=0.6, extra=()):
    unit = chr(rng.choice(consonants))
    for marks in extra:
        if rng.random() < 0.2:
            unit += chr(rng.choice(marks))
    if rng.random() < rate:
        unit += chr(rng.choice(signs))
    return unit


def r(a, b):
    return list(range(a, b + 1))


SCRIPTS = {
    # name: (one unit, joiner between words or "" for none, sentence end)
    "arabic": (lambda g: chr(g.choice(r(0x0627, 0x063A) + r(0x0641, 0x064A)))
               + (chr(g.choice(r(0x064B, 0x0652))) if g.random() < 0.12 else ""), " ", "۔.؟"),
    "hebrew": (lambda g: chr(g.choice(r(0x05D0, 0x05EA))), " ", "."),
    "thai": (lambda g: syllable(g, r(0x0E01, 0x0E2E), r(0x0E30, 0x0E39) + [0x0E31, 0x0E47],
                                0.5, [r(0x0E48, 0x0E4B)]), "", " "),
    "japanese": (lambda g: chr(g.choice(r(0x3041, 0x3093) * 3 + r(0x30A1, 0x30F3)
                                        + r(0x4E00, 0x4FFF))), "", "、。"),
    "chinese": (lambda g: chr(g.randrange(0x4E00, 0x9FA6)), "", "，。"),
    "korean": (lambda g: chr(g.randrange(0xAC00, 0xD7A4)), " ", "."),
    "hindi": (lambda g: syllable(g, r(0x0915, 0x0939), r(0x093E, 0x094C) + [0x0902],
                                 0.6, [[0x094D]]), " ", "।"),
    "bengali": (lambda g: syllable(g, r(0x0995, 0x09B9), r(0x09BE, 0x09CC)), " ", "।"),
    "tamil": (lambda g: syllable(g, r(0x0B95, 0x0BB9), r(0x0BBE, 0x0BCC) + [0x0BCD]), " ", "."),
    "russian": (lambda g: chr(g.choice(r(0x0430, 0x044F))), " ", ".!?"),
    "greek": (lambda g: chr(g.choice(r(0x03B1, 0x03C9))), " ", ".;"),
}


def script_text(rng, script, size):
    """About `size` code points of one script, in words, sentences and paragraphs; the scripts
    that write no spaces make long lines."""
    if script in ("emoji", "flags"):
        return chat_text(rng, size, only_flags=script == "flags")
    if script == "latin":
        unit, joiner, ends = (lambda g: g.choice(LATIN_WORDS)), " ", ".!?"
    else:
        unit, joiner, ends = SCRIPTS[script]
    out, length, line = [], 0, 0
    line_limit = rng.choice([80, 400, 3000]) if joiner == "" else rng.choice([200, 1500])
    while length < size:
        word = "".join(unit(rng) for _ in range(1 if script == "latin" else rng.randint(1, 7)))
        if rng.random() < 0.1:
            word += rng.choice(ends)
        piece = word + joiner
        line += len(piece)
        if line > line_limit and rng.random() < 0.3:
            piece += "\n\n" if rng.random() < 0.5 else "\n"
            line = 0
        out.append(piece)
        length += len(piece)
    return "".join(out)[:size].strip() or "x"


def chat_text(rng, size, only_flags=False):
    """Chat lines with emoji, flags, skin tones and joined sequences; or lines of flags alone,
    some of them thousands of flags long."""
    out, length = [], 0
    while length < size:
        if only_flags or rng.random() < 0.15:
            count = rng.choice([5, 40, 300, 2500])
            line = "".join(flag(rng) for _ in range(count))
        elif rng.random() < 0.2:
            line = "".join(emoji(rng) for _ in range(rng.randint(1, 60)))
        else:
            words = [rng.choice(WORDS) if rng.random() < 0.6 else emoji(rng)
                     for _ in range(rng.randint(1, 25))]
            line = rng.choice(NAMES) + ": " + " ".join(words)
        out.append(line + "\n")
        length += len(line) + 1
    text = "".join(out)
    # Never cut inside a surrogate-free code point, but a flag may lose its second half.
    return text[:size].strip() or "\U0001F600"


WORLD = list(SCRIPTS) + ["latin", "emoji", "flags", "mixed"]


def world_text(rng, script, size):
    if script != "mixed":
        return script_text(rng, script, size)
    parts, length = [], 0
    while length < size:
        part = script_text(rng, rng.choice(list(SCRIPTS) + ["latin", "emoji"]),
                           rng.randint(20, max(21, size // 4)))
        parts.append(part + "\n")
        length += len(part) + 1
    return "".join(parts)[:size].strip()


def log_uniform(rng, low, high):
    return int(math.exp(rng.uniform(math.log(low), math.log(high))))


# ---- the operations: drawn from the seed alone, so operation K of a seed is always the same

WEIGHTS = {"bus_text": 20, "link": 4, "read_selection": 3, "paste": 16, "type": 8, "keys": 8,
           "click_text": 5, "page": 6, "search": 4, "slash": 3, "read": 12, "reading_keys": 6,
           "save": 6, "reopen": 3, "idle": 3}
# Words typed in other scripts, as a keyboard of that language would send them.
TYPED = ["مرحبا بكم", "שלום", "สวัสดีครับ", "नमस्ते दोस्तों", "こんにちは", "안녕하세요", "привет"]


def make_operation(rng):
    kind = rng.choices(list(WEIGHTS), list(WEIGHTS.values()))[0]
    operation = {"kind": kind, "seed": rng.getrandbits(48)}
    g = random.Random(operation["seed"])
    if kind == "bus_text":
        size = g.randint(50_000, 100_000) if g.random() < 0.15 else log_uniform(g, 20, 100_000)
        operation.update(script=g.choice(WORLD), size=size, read_for=g.uniform(0.5, 6))
    elif kind == "link":
        operation.update(script=g.choice(WORLD), size=log_uniform(g, 10, 6000),
                         read_for=g.uniform(0.5, 4))
    elif kind == "paste":
        size = g.randint(10_000, 20_000) if g.random() < 0.3 else log_uniform(g, 20, 20_000)
        operation.update(size=size, flags=g.random() < 0.25,
                         where=g.choice(["end", "end", "start", "click", "click", "replace"]))
    elif kind == "type":
        operation.update(text=" ".join(g.choice(WORDS + LATIN_WORDS + TYPED) for _ in range(
            g.randint(1, 8))) + (emoji(g) if g.random() < 0.3 else ""))
    elif kind == "search":
        operation.update(query=g.choice(WORDS + TYPED + [emoji(g), flag(g), "a", "de"]))
    elif kind == "slash":
        operation.update(x=g.random(), y=g.random(), down=g.randrange(8))
    elif kind == "keys":
        keys = ["ctrl+z", "ctrl+shift+z", "BackSpace", "Delete", "ctrl+End", "ctrl+Home",
                "Page_Down", "Page_Up", "Down", "Up", "Return", "End", "Home", "shift+Down"]
        operation.update(keys=[g.choice(keys) for _ in range(g.randint(1, 12))])
    elif kind == "click_text":
        operation.update(x=g.random(), y=g.random())
    elif kind == "page":
        operation.update(action=g.choice(["add", "row", "row", "next", "previous"]),
                         row=g.randrange(8))
    elif kind in ("read", "reading_keys"):
        keys = ["Right", "Left", "Down", "Up", "Down", "ctrl+m", "pointer", "pointer"]
        operation.update(keys=[g.choice(keys) for _ in range(g.randint(1, 8))],
                         pauses=[g.uniform(0.2, 2.5) for _ in range(8)])
    elif kind == "idle":
        operation.update(seconds=g.uniform(1, 5))
    return operation


def describe(operation):
    kind = operation["kind"]
    details = {k: v for k, v in operation.items() if k not in ("kind", "seed", "pauses")}
    text = operation.get("script")
    shown = " ".join(f"{k}={v:,}" if isinstance(v, int) and not isinstance(v, bool)
                     else f"{k}={v:.1f}" if isinstance(v, float) else f"{k}={v}"
                     for k, v in details.items() if k not in ("script", "text"))
    if text:
        shown = f"{text} " + shown
    if kind == "type":
        shown = repr(operation["text"])
    return f"{kind} {shown}".strip()
