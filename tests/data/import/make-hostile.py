#!/usr/bin/python3
"""Writes the hostile and structural test archives into the folder given as the argument.

They are made at test time, never committed: some of them inflate to a gigabyte.
"""
import os
import re
import shutil
import struct
import sys
import zipfile
import zlib

out = sys.argv[1]
os.makedirs(out, exist_ok=True)

P = ('xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
     'xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main" '
     'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"')
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships/'


def notes(text):
    return (f'<?xml version="1.0" encoding="UTF-8"?><p:notes {P}><p:cSld><p:spTree>'
            f'<p:sp><p:nvSpPr><p:nvPr><p:ph type="body"/></p:nvPr></p:nvSpPr>'
            f'<p:txBody><a:p><a:r><a:t>{text}</a:t></a:r></a:p></p:txBody></p:sp>'
            f'</p:spTree></p:cSld></p:notes>')


def slide(text):
    return notes(text).replace('p:notes', 'p:sld')


def rels(*targets):
    external = ' TargetMode="External"'
    body = ''.join(f'<Relationship Id="rId{i + 1}" Type="{REL}{kind}" Target="{target}"'
                   f'{external if kind == "external" else ""}/>'
                   for i, (kind, target) in enumerate(targets))
    return ('<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns='
            f'"http://schemas.openxmlformats.org/package/2006/relationships">{body}</Relationships>')


def presentation(count):
    ids = ''.join(f'<p:sldId id="{256 + i}" r:id="rId{i + 1}"/>' for i in range(count))
    return f'<?xml version="1.0" encoding="UTF-8"?><p:presentation {P}><p:sldIdLst>{ids}</p:sldIdLst></p:presentation>'


def write(name, entries):
    with zipfile.ZipFile(os.path.join(out, name), 'w', zipfile.ZIP_DEFLATED) as z:
        for entry, data in entries:
            z.writestr(entry, data)


def deck(slides, slide_rels=None, listed=None):
    """A package with the given slide and notes texts (None: no part); slides listed in order."""
    entries = []
    listed = listed if listed is not None else list(range(1, len(slides) + 1))
    entries.append(('ppt/presentation.xml', presentation(len(listed))))
    entries.append(('ppt/_rels/presentation.xml.rels',
                    rels(*[('slide', f'slides/slide{n}.xml') for n in listed])))
    for n, (slide_text, notes_text) in enumerate(slides, 1):
        if slide_text is not None:
            entries.append((f'ppt/slides/slide{n}.xml', slide(slide_text)))
            targets = (slide_rels or {}).get(n, [('notesSlide', f'../notesSlides/notesSlide{n}.xml')])
            entries.append((f'ppt/slides/_rels/slide{n}.xml.rels', rels(*targets)))
        if notes_text is not None:
            entries.append((f'ppt/notesSlides/notesSlide{n}.xml', notes(notes_text)))
    return entries


# Structure: slide list order, a notes page whose slide is missing, a slide whose notes are
# missing, targets that escape the package or point outside it.
write('listed-order.pptx', deck([('S1', 'N1'), ('S2', 'N2'), ('S3', 'N3')], listed=[3, 1, 2]))
write('orphans.pptx', deck([('S1', None), (None, 'N2'), ('S3', 'N3')], listed=[1, 3]))
write('escaping-targets.pptx', deck(
    [('S1', 'N1'), ('S2', 'N2')],
    slide_rels={1: [('notesSlide', '../../../notesSlides/notesSlide1.xml')],
                2: [('external', 'http://example.invalid/notesSlide2.xml'),
                    ('notesSlide', '/ppt/notesSlides/notesSlide2.xml')]}))
write('numbered.pptx', [(f'ppt/notesSlides/notesSlide{n}.xml', notes(f'N{n}')) for n in (10, 2)]
      + [('ppt/slides/slide1.xml', slide('S1'))])
write('integers.pptx', deck([(f'S{n}', text) for n, text in
                            enumerate(['42', '+5', '-7', '4.2', 'Slide 3', '99999999999999999999'], 1)]))
write('backslashes.pptx', [('ppt\\notesSlides\\notesSlide1.xml', notes('hidden')),
                           ('ppt/slides/slide1.xml', slide('visible'))])
write('no-folders.pptx', [('[Content_Types].xml', '<Types/>'), ('docProps/app.xml', '<x/>')])
with zipfile.ZipFile(os.path.join(out, 'empty-archive.pptx'), 'w'):
    pass

nested = os.path.join(out, 'inner.zip')
write('inner.zip', deck([('S1', 'N1')]))
with open(nested, 'rb') as f:
    write('nested.pptx', [('ppt/notesSlides/notesSlide1.xml', f.read()),
                          ('ppt/embeddings/inner.pptx', open(nested, 'rb').read())])
os.remove(nested)

for name, bad in (('dotdot.pptx', '../evil'), ('inner-dotdot.pptx', 'ppt/../../evil'),
                  ('absolute.pptx', '/tmp/abs_evil')):
    write(name, deck([('S1', 'N1')]) + [(zipfile.ZipInfo(bad), 'x')])

with zipfile.ZipFile(os.path.join(out, 'many-entries.pptx'), 'w') as z:
    for n in range(100_000):
        z.writestr(f'ppt/media/e{n}', b'')

# The tool's twelve-slide deck with its slide list reversed, parts left as they were named.
with zipfile.ZipFile(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'twelve-notes.pptx')) as source, \
        zipfile.ZipFile(os.path.join(out, 'reordered.pptx'), 'w', zipfile.ZIP_DEFLATED) as target:
    for info in source.infolist():
        data = source.read(info)
        if info.filename == 'ppt/presentation.xml':
            text = data.decode()
            start, end = text.index('<p:sldIdLst>') + 12, text.index('</p:sldIdLst>')
            ids = re.findall(r'<p:sldId [^>]*/>', text[start:end])
            data = (text[:start] + ''.join(reversed(ids)) + text[end:]).encode()
        target.writestr(info, data)

# A gigabyte of zeros as the notes page, declared truthfully.
GIB = 1 << 30
chunk = bytes(1 << 20)


def bomb(path):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        with z.open('ppt/notesSlides/notesSlide1.xml', 'w') as entry:
            for _ in range(GIB // len(chunk)):
                entry.write(chunk)
        z.writestr('ppt/slides/slide1.xml', slide('S1'))


bomb(os.path.join(out, 'bomb.pptx'))

# The same entry with both headers declaring 1,000 bytes: libzip inflates it all regardless.
shutil.copyfile(os.path.join(out, 'bomb.pptx'), os.path.join(out, 'liar.pptx'))
with open(os.path.join(out, 'liar.pptx'), 'r+b') as f:
    data = bytearray(f.read())
    assert data[:4] == b'PK\x03\x04'
    struct.pack_into('<I', data, 22, 1000)
    central = data.find(b'PK\x01\x02')
    struct.pack_into('<I', data, central + 24, 1000)
    f.seek(0)
    f.write(data)

# Nine notes pages of 7.5 MiB each, every header declaring 1,000 bytes: each passes the per-part
# cap and the declared sizes, so only the count of what is inflated stops the whole at 64 MiB.
with zipfile.ZipFile(os.path.join(out, 'many-liars.pptx'), 'w', zipfile.ZIP_DEFLATED) as z:
    page = b'<a>' + b' ' * (15 << 19) + b'</a>'
    for n in range(1, 10):
        z.writestr(f'ppt/notesSlides/notesSlide{n}.xml', page)
with open(os.path.join(out, 'many-liars.pptx'), 'r+b') as f:
    data = bytearray(f.read())
    for header, offset in ((b'PK\x03\x04', 22), (b'PK\x01\x02', 24)):
        at = data.find(header)
        while at >= 0:
            struct.pack_into('<I', data, at + offset, 1000)
            at = data.find(header, at + 4)
    f.seek(0)
    f.write(data)

# Twenty central entries sharing one compressed stream of 6 MiB.
payload = b'<a>' + b' ' * (6 << 20) + b'</a>'
compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
stream = compressor.compress(payload) + compressor.flush()
crc = zlib.crc32(payload)
first = b'ppt/notesSlides/notesSlide1.xml'
local = struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 0, 8, 0, 0, crc, len(stream), len(payload),
                    len(first), 0) + first + stream
central = b''
for n in range(1, 21):
    name = f'ppt/notesSlides/notesSlide{n}.xml'.encode()
    central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 20, 20, 0, 8, 0, 0, crc, len(stream),
                           len(payload), len(name), 0, 0, 0, 0, 0, 0) + name
end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 20, 20, len(central), len(local), 0)
with open(os.path.join(out, 'overlapping.pptx'), 'wb') as f:
    f.write(local + central + end)
