<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="es">
<context>
    <name>Brivel</name>
    <message>
        <source>Anclado debajo del notch en la parte superior de tu pantalla.</source>
        <translation>Pinned under the notch at the top of your screen.</translation>
    </message>
    <message>
        <source>Hasta 4 ventanas que podés fijar donde quieras.</source>
        <translation>Up to 4 windows you can pin wherever you like.</translation>
    </message>
    <message>
        <source>El panel sigue tu cursor. Controlalo con las flechas del teclado.</source>
        <translation>The panel follows your cursor. Control it with the arrow keys.</translation>
    </message>
    <message>
        <source>Teleprompter en pantalla completa en la pantalla seleccionada. Presioná Esc para detener.</source>
        <translation>Full-screen teleprompter on the selected display. Press Esc to stop.</translation>
    </message>
    <message>
        <source>Notas</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Elegí una nota</source>
        <translation>Choose a note</translation>
    </message>
    <message>
        <source>Mover</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>Elegir</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>Cerrar</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Vacío</source>
        <translation>Empty</translation>
    </message>
    <message>
        <source>%lld</source>
        <translation>%lld</translation>
    </message>
    <message>
        <source>Mostrar números de página</source>
        <translation>Show page numbers</translation>
    </message>
    <message>
        <source>Mostrar título</source>
        <translation>Show title</translation>
    </message>
    <message>
        <source>Minimizar</source>
        <translation>Minimize</translation>
    </message>
</context>
</TS>
