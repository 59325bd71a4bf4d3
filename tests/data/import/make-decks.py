#!/usr/bin/python3
"""Regenerates the committed test decks and their expected texts (expected.json).

Run with Debian's own python3, which sees the uno module; needs the packages
libreoffice-impress and python3-uno (and python3-docx for the renamed document):
    /usr/bin/python3 tests/data/import/make-decks.py
"""
import json
import os
import subprocess
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.text.ControlCharacter import LINE_BREAK, PARAGRAPH_BREAK

HERE = os.path.dirname(os.path.abspath(__file__))
NOTES_SHAPE = 'com.sun.star.presentation.NotesShape'


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def connect(profile):
    pipe = f'brivel-decks-{os.getpid()}'
    office = subprocess.Popen(['soffice', '--headless', '--invisible', '--nologo', '--norestore',
                               f'-env:UserInstallation=file://{profile}',
                               f'--accept=pipe,name={pipe};urp;'])
    resolver = uno.getComponentContext().ServiceManager.createInstanceWithContext(
        'com.sun.star.bridge.UnoUrlResolver', uno.getComponentContext())
    for _ in range(100):
        try:
            context = resolver.resolve(f'uno:pipe,name={pipe};urp;StarOffice.ComponentContext')
            break
        except Exception:
            time.sleep(0.2)
    desktop = context.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', context)
    return office, desktop


def write_text(shape, paragraphs):
    """Paragraphs of lines: lines of one paragraph are joined by line breaks."""
    text = shape.getText()
    text.setString('')
    cursor = text.createTextCursor()
    for i, lines in enumerate(paragraphs):
        if i:
            text.insertControlCharacter(cursor, PARAGRAPH_BREAK, False)
        for j, line in enumerate(lines):
            if j:
                text.insertControlCharacter(cursor, LINE_BREAK, False)
            text.insertString(cursor, line, False)


def make_deck(desktop, path, slides):
    """slides: dicts with title, body (paragraphs), notes (paragraphs or None), table (rows)."""
    doc = desktop.loadComponentFromURL('private:factory/simpress', '_blank', 0,
                                       (prop('Hidden', True),))
    pages = doc.DrawPages
    while pages.Count < len(slides):
        pages.insertNewByIndex(pages.Count - 1)
    for page, slide in zip((pages.getByIndex(i) for i in range(pages.Count)), slides):
        page.Layout = 1 if slide.get('body') else 0
        for k in range(page.Count):
            shape = page.getByIndex(k)
            if shape.ShapeType == 'com.sun.star.presentation.TitleTextShape':
                shape.setString(slide['title'])
            elif shape.ShapeType == 'com.sun.star.presentation.OutlinerShape' and slide.get('body'):
                write_text(shape, slide['body'])
        if slide.get('table'):
            table = doc.createInstance('com.sun.star.drawing.TableShape')
            page.add(table)
            rows, columns = len(slide['table']), len(slide['table'][0])
            table.Model.Rows.insertByIndex(0, rows - 1)
            table.Model.Columns.insertByIndex(0, columns - 1)
            for r, row in enumerate(slide['table']):
                for c, cell in enumerate(row):
                    table.Model.getCellByPosition(c, r).setString(cell)
        if slide.get('notes'):
            notes = page.NotesPage
            shape = next((notes.getByIndex(k) for k in range(notes.Count)
                          if notes.getByIndex(k).ShapeType == NOTES_SHAPE), None)
            write_text(shape, slide['notes'])
    filters = {'.pptx': 'Impress MS PowerPoint 2007 XML', '.ppt': 'MS PowerPoint 97'}
    doc.storeToURL(uno.systemPathToFileUrl(path),
                   (prop('FilterName', filters[os.path.splitext(path)[1]]),))
    doc.close(True)


def joined(paragraphs):
    return '\n'.join('\n'.join(lines) for lines in paragraphs).strip()


TWELVE_NOTES = [
    [['Bienvenida y presentación del equipo']],
    [['• Primer punto'], ['• Segundo punto'], ['• Tercer punto']],
    [['Una línea', 'y otra en el mismo párrafo']],
    [['שלום לכולם, זו הערה מימין לשמאל']],
    [['日本語の発表者ノート'], ['中文备注']],
    [[''], ['Con líneas en blanco alrededor'], ['']],
    [['Párrafo uno'], [''], ['Párrafo tres tras una línea vacía']],
    [['Números: 4.2 y 42 dentro del texto']],
    [['Diapositiva 9: cifras del trimestre']],
    [['Emoji ☺ y signos ¿¡ñ!?']],
    [['Penúltima nota']],
    [['Gracias — preguntas']],
]


def main():
    expected = {}
    with tempfile.TemporaryDirectory() as profile:
        office, desktop = connect(profile)
        try:
            twelve = [{'title': f'Tema {n}', 'body': [[f'Contenido {n}']], 'notes': notes}
                      for n, notes in enumerate(TWELVE_NOTES, 1)]
            make_deck(desktop, os.path.join(HERE, 'twelve-notes.pptx'), twelve)
            expected['twelve-notes.pptx'] = [joined(n) for n in TWELVE_NOTES]

            three = [{'title': 'Uno', 'notes': [['Notas de la primera']]},
                     {'title': 'Dos'},
                     {'title': 'Tres', 'notes': [['Notas de la tercera']]}]
            make_deck(desktop, os.path.join(HERE, 'three-slides.pptx'), three)
            expected['three-slides.pptx'] = ['Notas de la primera', 'Notas de la tercera']

            numbers = [{'title': f'Título {n}', 'body': [[f'Texto {n}']], 'notes': [[str(n)]]}
                       for n in (1, 2, 3)]
            make_deck(desktop, os.path.join(HERE, 'numbers-only.pptx'), numbers)
            expected['numbers-only.pptx'] = [f'Título {n}\nTexto {n}' for n in (1, 2, 3)]

            table = [{'title': 'Resultados', 'table': [['Año', 'Ventas'], ['2025', '10']]},
                     {'title': 'Cierre'}]
            make_deck(desktop, os.path.join(HERE, 'table-no-notes.pptx'), table)
            # The title layout's empty subtitle gives the empty line.
            expected['table-no-notes.pptx'] = ['Resultados\n\nAño\nVentas\n2025\n10', 'Cierre']

            bench = [{'title': f'Diapositiva {n}', 'body': [[f'Punto {n}']],
                      'notes': [[f'Nota de la diapositiva {n}, con algo de texto para leer.'],
                                ['Segundo párrafo.']]} for n in range(1, 501)]
            make_deck(desktop, os.path.join(HERE, 'bench-500.pptx'), bench)

            # The legacy binary format, an OLE compound file, stands in for an encrypted deck:
            # both are OLE containers, not zip archives.
            legacy = os.path.join(HERE, 'legacy-binary.ppt')
            make_deck(desktop, legacy, three)
            os.replace(legacy, os.path.join(HERE, 'legacy-binary.pptx'))
            expected['legacy-binary.pptx'] = None
        finally:
            desktop.terminate()
            office.wait(30)

    import docx
    document = docx.Document()
    document.add_paragraph('Un documento de texto, no una presentación.')
    document.save(os.path.join(HERE, 'document.pptx'))
    expected['document.pptx'] = []

    with open(os.path.join(HERE, 'expected.json'), 'w', encoding='utf-8') as f:
        json.dump(expected, f, ensure_ascii=False, indent=1)
        f.write('\n')


main()
