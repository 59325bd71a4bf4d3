<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_AR" sourcelanguage="es">
<context>
    <name>Brivel</name>
    <message>
        <source>Anclado debajo del notch en la parte superior de tu pantalla.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hasta 4 ventanas que podés fijar donde quieras.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El panel sigue tu cursor. Controlalo con las flechas del teclado.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Teleprompter en pantalla completa en la pantalla seleccionada. Presioná Esc para detener.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elegí una nota</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mover</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elegir</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cerrar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vacío</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%lld</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mostrar números de página</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mostrar título</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimizar</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
