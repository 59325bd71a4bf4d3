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
        <source>Hay una nueva versión de Brivel</source>
        <translation>A new version of Brivel is available</translation>
    </message>
    <message>
        <source>La versión</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>ya está disponible. Descargala para actualizar.</source>
        <translation>is now available. Download it to update.</translation>
    </message>
    <message>
        <source>Descargar</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Ahora no</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>Omitir esta versión</source>
        <translation>Skip this version</translation>
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
    <message>
        <source>Siguiente</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>¡Listo!</source>
        <translation>Done!</translation>
    </message>
    <message>
        <source>Duplicar ventana</source>
        <translation>Duplicate window</translation>
    </message>
    <message>
        <source>elegir nota</source>
        <translation>choose note</translation>
    </message>
    <message>
        <source>cerrar</source>
        <translation>close</translation>
    </message>
    <message>
        <source>cambiar nota</source>
        <translation>change note</translation>
    </message>
    <message>
        <source>mover texto</source>
        <translation>move text</translation>
    </message>
    <message>
        <source>salir</source>
        <translation>exit</translation>
    </message>
    <message>
        <source>Acerca de Brivel</source>
        <translation>About Brivel</translation>
    </message>
    <message>
        <source>Ajustes…</source>
        <translation>Settings…</translation>
    </message>
    <message>
        <source>Salir</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Archivo</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Abrir archivo o presentación…</source>
        <translation>Open File or Presentation…</translation>
    </message>
    <message>
        <source>Guardar</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Guardar como…</source>
        <translation>Save As…</translation>
    </message>
    <message>
        <source>Iniciar / Detener lectura</source>
        <translation>Start / Stop Reading</translation>
    </message>
    <message>
        <source>Tenés cambios sin guardar</source>
        <translation>You have unsaved changes</translation>
    </message>
    <message>
        <source>¿Querés guardar los cambios antes de abrir otro archivo?</source>
        <translation>Do you want to save your changes before opening another file?</translation>
    </message>
    <message>
        <source>Descartar</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Cancelar</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Sin título.brivel</source>
        <translation>Untitled.brivel</translation>
    </message>
    <message>
        <source>Error al guardar el archivo</source>
        <translation>Could not save the file</translation>
    </message>
    <message>
        <source>No queda espacio libre en el disco.</source>
        <translation>There is no space left on the disk.</translation>
    </message>
    <message>
        <source>El archivo supera el tamaño máximo que permite el sistema.</source>
        <translation>The file is larger than the system allows.</translation>
    </message>
    <message>
        <source>No tenés permiso para guardar en esa ubicación.</source>
        <translation>You don’t have permission to save to that location.</translation>
    </message>
    <message>
        <source>El disco es de solo lectura.</source>
        <translation>The disk is read-only.</translation>
    </message>
    <message>
        <source>La carpeta ya no existe.</source>
        <translation>The folder no longer exists.</translation>
    </message>
    <message>
        <source>El documento supera un límite de los archivos de Brivel y no se podría volver a abrir, así que no se guardó.</source>
        <translation>The document exceeds a limit of Brivel files and could not be opened again, so it was not saved.</translation>
    </message>
    <message>
        <source>Páginas: %@; el máximo es %@, %@ de más.</source>
        <translation>Pages: %@; the maximum is %@, %@ too many.</translation>
    </message>
    <message>
        <source>Página %@: %@ caracteres; el máximo es %@, %@ de más.</source>
        <translation>Page %@: %@ characters; the maximum is %@, %@ too many.</translation>
    </message>
    <message>
        <source>Tamaño del archivo: %@ bytes; el máximo es %@ (%@), %@ de más.</source>
        <translation>File size: %@ bytes; the maximum is %@ (%@), %@ too many.</translation>
    </message>
    <message>
        <source>Formato no soportado</source>
        <translation>Unsupported format</translation>
    </message>
    <message>
        <source>Brivel solo abre archivos .brivel.</source>
        <translation>Brivel only opens .brivel files.</translation>
    </message>
    <message>
        <source>Archivo demasiado grande</source>
        <translation>File too large</translation>
    </message>
    <message>
        <source>Los archivos de Brivel no pueden superar los 10 MB.</source>
        <translation>Brivel files can’t be larger than 10 MB.</translation>
    </message>
    <message>
        <source>Error al abrir el archivo</source>
        <translation>Could not open the file</translation>
    </message>
    <message>
        <source>No se pudo encontrar el archivo.</source>
        <translation>The file could not be found.</translation>
    </message>
    <message>
        <source>No tenés permiso para leer este archivo.</source>
        <translation>You don’t have permission to read this file.</translation>
    </message>
    <message>
        <source>El archivo está dañado.</source>
        <translation>The file is damaged.</translation>
    </message>
    <message>
        <source>El archivo no es un archivo válido de Brivel.</source>
        <translation>The file is not a valid Brivel file.</translation>
    </message>
    <message>
        <source>El archivo está dañado o no es un archivo válido de Brivel.</source>
        <translation>The file is damaged or is not a valid Brivel file.</translation>
    </message>
    <message>
        <source>Versión no compatible</source>
        <translation>Incompatible version</translation>
    </message>
    <message>
        <source>Este archivo se creó con una versión más reciente de Brivel.</source>
        <translation>This file was created with a newer version of Brivel.</translation>
    </message>
    <message>
        <source>Archivo inválido</source>
        <translation>Invalid file</translation>
    </message>
    <message>
        <source>El archivo contiene contenido fuera de los límites permitidos.</source>
        <translation>The file holds content beyond the allowed limits.</translation>
    </message>
    <message>
        <source>Los archivos .key no se pueden importar directamente</source>
        <translation>.key files can’t be imported directly</translation>
    </message>
    <message>
        <source>Por favor exportá tu presentación como PPTX (.pptx) primero y abrí el archivo exportado.</source>
        <translation>Please export your presentation as PPTX (.pptx) first, then open the exported file.</translation>
    </message>
    <message>
        <source>Diapositiva %lld</source>
        <translation>Slide %lld</translation>
    </message>
    <message>
        <source>Conversión requerida</source>
        <translation>Conversion required</translation>
    </message>
    <message>
        <source>Los archivos .key no se pueden importar directamente. Por favor exportá tu presentación como PPTX (.pptx) primero, y luego arrastrá el archivo exportado aquí.</source>
        <translation>.key files can’t be imported directly. Please export your presentation as PPTX (.pptx) first, then drag the exported file here.</translation>
    </message>
    <message>
        <source>Archivo no compatible. Arrastrá un archivo .pptx.</source>
        <translation>Unsupported file. Drag a .pptx file.</translation>
    </message>
    <message>
        <source>Seleccioná un archivo .pptx</source>
        <translation>Choose a .pptx file</translation>
    </message>
    <message>
        <source>Ya tenés notas</source>
        <translation>You already have notes</translation>
    </message>
    <message>
        <source>¿Querés reemplazar las notas existentes o agregar las nuevas al final?</source>
        <translation>Do you want to replace the existing notes or add the new ones at the end?</translation>
    </message>
    <message>
        <source>Agregar</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Reemplazar</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Arrastrá un archivo .pptx</source>
        <translation>Drag a .pptx file</translation>
    </message>
    <message>
        <source>Desde otros programas de presentaciones,
exportá como PPTX primero.</source>
        <translation>From other presentation apps,
export as PPTX first.</translation>
    </message>
    <message>
        <source>Importar presentación</source>
        <translation>Import presentation</translation>
    </message>
    <message>
        <source>Error de importación</source>
        <translation>Import error</translation>
    </message>
    <message>
        <source>Con estas notas, el documento superaría un límite de Brivel y no se podría guardar. No se importó nada.</source>
        <translation>With these notes the document would exceed a limit of Brivel and could not be saved. Nothing was imported.</translation>
    </message>
    <message>
        <source>Bullets</source>
        <translation>Bullets</translation>
    </message>
    <message>
        <source>Bienvenido a Brivel</source>
        <translation>Welcome to Brivel</translation>
    </message>
    <message>
        <source>Hola. Bienvenido a Brivel. [Pausa]

Brivel es visible solo para vos, pero está oculto para los demás cuando compartís pantalla. Ideal para presentaciones, reuniones o videollamadas.

La ventana se ubica justo debajo de la cámara de tu computadora, para que puedas leer sin perder contacto visual. Está diseñada específicamente para pasar desapercibida.

Podés desplazarte por la nota usando las flechas ↑↓ del teclado, y cambiar de nota usando las flechas ← y →. [Continuar]

Ahora estás listo para escribir tu propio guion y usarlo en tu próxima reunión.

Mucha suerte. [Saludo]</source>
        <translation>Hello. Welcome to Brivel. [Pause]

Brivel is visible only to you, but hidden from others when you share your screen. Ideal for presentations, meetings or video calls.

The window sits right below your camera, so you can read without losing eye contact. It is designed specifically to go unnoticed.

You can scroll through the note with the ↑↓ arrow keys, and switch notes with the ← and → arrow keys. [Continue]

Now you are ready to write your own script and use it in your next meeting.

Good luck. [Wave]</translation>
    </message>
    <message>
        <source>Puntos clave</source>
        <translation>Key points</translation>
    </message>
    <message>
        <source>• Saludar por nombre y agradecer la asistencia
• Recordar el contexto de la última conversación
• Presentar la agenda en tres puntos claros
• Preguntar si hay temas que quieran sumar
• Reservar diez minutos al final para preguntas
• Confirmar próximos pasos antes de cerrar
• Enviar resumen por correo dentro de las próximas dos horas</source>
        <translation>• Greet everyone by name and thank them for coming
• Recall the context of the last conversation
• Present the agenda in three clear points
• Ask whether there are topics they want to add
• Save ten minutes at the end for questions
• Confirm next steps before closing
• Send a summary by email within the next two hours</translation>
    </message>
    <message>
        <source>Título</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Buscar</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Ajustes</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Agregar nueva página</source>
        <translation>Add new page</translation>
    </message>
    <message>
        <source>Comandos</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>Puntos</source>
        <translation>Bullets</translation>
    </message>
    <message>
        <source>Indicaciones</source>
        <translation>Cues</translation>
    </message>
    <message>
        <source>Entrega</source>
        <translation>Delivery</translation>
    </message>
    <message>
        <source>Estructura</source>
        <translation>Structure</translation>
    </message>
    <message>
        <source>Audiencia</source>
        <translation>Audience</translation>
    </message>
    <message>
        <source>Punto</source>
        <translation>Bullet</translation>
    </message>
    <message>
        <source>Lista de puntos</source>
        <translation>Bullet list</translation>
    </message>
    <message>
        <source>Pausa</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Sonríe</source>
        <translation>Smile</translation>
    </message>
    <message>
        <source>Más lento</source>
        <translation>Slower</translation>
    </message>
    <message>
        <source>+ Lento</source>
        <translation>+ Slow</translation>
    </message>
    <message>
        <source>Más rápido</source>
        <translation>Faster</translation>
    </message>
    <message>
        <source>+ Rápido</source>
        <translation>+ Fast</translation>
    </message>
    <message>
        <source>Respira</source>
        <translation>Breathe</translation>
    </message>
    <message>
        <source>Énfasis</source>
        <translation>Emphasis</translation>
    </message>
    <message>
        <source>Voz baja</source>
        <translation>Soft voice</translation>
    </message>
    <message>
        <source>Más fuerte</source>
        <translation>Louder</translation>
    </message>
    <message>
        <source>Separador</source>
        <translation>Separator</translation>
    </message>
    <message>
        <source>Mira al público</source>
        <translation>Look at the audience</translation>
    </message>
    <message>
        <source>Espera reacción</source>
        <translation>Wait for a reaction</translation>
    </message>
    <message>
        <source>Pregunta al público</source>
        <translation>Ask the audience</translation>
    </message>
    <message>
        <source>Copiado</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>Empezar</source>
        <translation>Get started</translation>
    </message>
    <message>
        <source>¿Eliminar esta página?</source>
        <translation>Delete this page?</translation>
    </message>
    <message>
        <source>Se perderá el contenido de esta página.</source>
        <translation>The content of this page will be lost.</translation>
    </message>
    <message>
        <source>Eliminar</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Se desactivó el acceso al micrófono. Abrí Ajustes del Sistema → Privacidad y Seguridad → Micrófono para reactivarlo.</source>
        <translation>Microphone access was turned off. Open System Settings → Privacy &amp; Security → Microphone to turn it back on.</translation>
    </message>
    <message>
        <source>Se desactivó el reconocimiento de voz. Abrí Ajustes del Sistema → Privacidad y Seguridad → Reconocimiento de Voz para reactivarlo.</source>
        <translation>Speech recognition was turned off. Open System Settings → Privacy &amp; Security → Speech Recognition to turn it back on.</translation>
    </message>
    <message>
        <source>Este idioma no está disponible sin conexión. Abrí Ajustes del Sistema → Teclado → Dictado para agregarlo.</source>
        <translation>This language is not available offline. Open System Settings → Keyboard → Dictation to add it.</translation>
    </message>
    <message>
        <source>Brivel es visible solo para vos, pero está oculto para los demás cuando compartís pantalla.</source>
        <translation>Brivel is visible only to you, but hidden from others when you share your screen.</translation>
    </message>
    <message>
        <source>Brivel queda a la vista por encima de las demás ventanas, cerca de la cámara.</source>
        <translation>Brivel stays in view above every other window, close to the camera.</translation>
    </message>
    <message>
        <source>El texto es demasiado largo</source>
        <translation>The text is too long</translation>
    </message>
    <message>
        <source>No se encontró texto en el portapapeles</source>
        <translation>No text was found in the clipboard</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Apariencia</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Cómo funciona</source>
        <translation>How it works</translation>
    </message>
    <message>
        <source>Restablecer todo</source>
        <translation>Reset all</translation>
    </message>
    <message>
        <source>Listo</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>¿Restablecer todos los ajustes?</source>
        <translation>Reset all settings?</translation>
    </message>
    <message>
        <source>Esto restaurará todos los ajustes a sus valores predeterminados.</source>
        <translation>This will restore all settings to their default values.</translation>
    </message>
    <message>
        <source>Restablecer</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Idioma / Language</source>
        <translation>Idioma / Language</translation>
    </message>
    <message>
        <source>Invisible / Oculto</source>
        <translation>Invisible / Hidden</translation>
    </message>
    <message>
        <source>El panel queda oculto en grabaciones de pantalla y videollamadas.</source>
        <translation>The panel stays hidden in screen recordings and video calls.</translation>
    </message>
    <message>
        <source>En este sistema, las grabaciones de pantalla y las videollamadas muestran el panel.</source>
        <translation>On this system, screen recordings and video calls show the panel.</translation>
    </message>
    <message>
        <source>Posición</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Notch</source>
        <translation>Notch</translation>
    </message>
    <message>
        <source>Sticky</source>
        <translation>Sticky</translation>
    </message>
    <message>
        <source>Cursor</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <source>Cronómetro</source>
        <translation>Timer</translation>
    </message>
    <message>
        <source>Mostrar un temporizador mientras el teleprompter está activo.</source>
        <translation>Show a timer while the teleprompter is running.</translation>
    </message>
    <message>
        <source>Control presentación</source>
        <translation>Presentation control</translation>
    </message>
    <message>
        <source>Cambiar de nota con flechas aunque otra app esté en primer plano.</source>
        <translation>Change notes with the arrow keys even when another app is in front.</translation>
    </message>
    <message>
        <source>Cambiar nota</source>
        <translation>Change note</translation>
    </message>
    <message>
        <source>Flechas mueven texto</source>
        <translation>Arrows move text</translation>
    </message>
    <message>
        <source>Las flechas ↑↓ desplazan el texto en vez de cambiar de nota.</source>
        <translation>The ↑↓ arrows scroll the text instead of changing notes.</translation>
    </message>
    <message>
        <source>Scrollear texto</source>
        <translation>Scroll text</translation>
    </message>
    <message>
        <source>Fuente</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Tamaño</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>Efecto Vidrio</source>
        <translation>Glass Effect</translation>
    </message>
    <message>
        <source>Opacidad</source>
        <translation>Opacity</translation>
    </message>
    <message>
        <source>Ancho</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Alto</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Tu guión</source>
        <translation>Your script</translation>
    </message>
    <message>
        <source>Escribí o pegá tu guión acá. Cada página es una sección independiente.</source>
        <translation>Write or paste your script here. Each page is a section of its own.</translation>
    </message>
    <message>
        <source>Personalizá la apariencia, el idioma y los controles.</source>
        <translation>Customize the appearance, the language and the controls.</translation>
    </message>
    <message>
        <source>Iniciar teleprompter</source>
        <translation>Start teleprompter</translation>
    </message>
    <message>
        <source>Presioná Play para iniciar. ¡Probalo ahora!</source>
        <translation>Press Play to start. Try it now!</translation>
    </message>
    <message>
        <source>Iniciar</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Versión %@</source>
        <translation>Version %@</translation>
    </message>
    <message>
        <source>Tu teleprompter personal que resalta tu guión en tiempo real mientras hablás.</source>
        <translation>Your personal teleprompter that highlights your script in real time as you speak.</translation>
    </message>
    <message>
        <source>Creado por el equipo de Brivel</source>
        <translation>Made by the Brivel team</translation>
    </message>
    <message>
        <source>Diseño y desarrollo: el equipo de Brivel</source>
        <translation>Design and development: the Brivel team</translation>
    </message>
    <message>
        <source>Solo vos podés ver esta ventana cuando compartís pantalla. Acá podés ajustar el color, la fuente y el tamaño, o aumentar el ancho y la altura de la ventana invisible.</source>
        <translation>Only you can see this window when you share your screen. Here you can adjust the color, the font and the size, or increase the width and height of the invisible window.</translation>
    </message>
    <message>
        <source>Solo vos podés ver esta ventana cuando compartís pantalla.</source>
        <translation>Only you can see this window when you share your screen.</translation>
    </message>
    <message>
        <source>Esta ventana también se ve cuando compartís pantalla.</source>
        <translation>This window also shows when you share your screen.</translation>
    </message>
    <message>
        <source>Acá podés ajustar el color, la fuente y el tamaño, o aumentar el ancho y la altura de la ventana.</source>
        <translation>Here you can adjust the color, the font and the size, or increase the width and height of the window.</translation>
    </message>
    <message>
        <source>Podés crear hasta 4 notas sticky invisibles</source>
        <translation>You can create up to 4 invisible sticky notes</translation>
    </message>
    <message>
        <source>Podés crear hasta 4 notas sticky</source>
        <translation>You can create up to 4 sticky notes</translation>
    </message>
    <message>
        <source>Flechas</source>
        <translation>Arrows</translation>
    </message>
    <message>
        <source>Volverse invisible</source>
        <translation>Going invisible</translation>
    </message>
    <message>
        <source>Títulos y números</source>
        <translation>Titles and numbers</translation>
    </message>
    <message>
        <source>Mantené ↓ para deslizar el guion a tu ritmo, ↑ para volver atrás. Tocá → y ← para saltar entre notas.</source>
        <translation>Hold ↓ to glide through the script at your own pace, ↑ to go back. Tap → and ← to jump between notes.</translation>
    </message>
    <message>
        <source>Tocá el ojo en el notch para ocultar la app de las pantallas compartidas y de las grabaciones. El borde que brilla confirma que solo vos podés ver la ventana.</source>
        <translation>Tap the eye in the notch to hide the app from shared screens and recordings. The glowing border confirms that only you can see the window.</translation>
    </message>
    <message>
        <source>Tocá el ojo en el notch para marcar la ventana como invisible; el borde que brilla lo confirma. Ocultarla de las pantallas compartidas depende del sistema: en este, la ventana sigue visible al compartir o grabar.</source>
        <translation>Tap the eye in the notch to mark the window as invisible; the glowing border confirms it. Hiding it from shared screens depends on the system: on this one, the window stays visible when you share or record.</translation>
    </message>
    <message>
        <source>El pie muestra el título de la nota actual. Tocá el ícono de notas para cambiar a números de diapositiva, útil al presentar.</source>
        <translation>The footer shows the title of the current note. Tap the notes icon to switch to slide numbers, handy when presenting.</translation>
    </message>
    <message>
        <source>Mantené ↓ para scrollear</source>
        <translation>Hold ↓ to scroll</translation>
    </message>
    <message>
        <source>Mantené ↑ para volver</source>
        <translation>Hold ↑ to go back</translation>
    </message>
    <message>
        <source>Siguiente nota</source>
        <translation>Next note</translation>
    </message>
    <message>
        <source>Nota anterior</source>
        <translation>Previous note</translation>
    </message>
    <message>
        <source>Números de diapositiva</source>
        <translation>Slide numbers</translation>
    </message>
    <message>
        <source>Títulos de notas</source>
        <translation>Note titles</translation>
    </message>
    <message>
        <source>Invisible</source>
        <translation>Invisible</translation>
    </message>
    <message>
        <source>Hola. Bienvenido a Brivel. Mantené la tecla ↓ y este texto se desliza a tu ritmo. Soltá para frenar. Sin micrófono, sin seguimiento por voz, solo teclas. Brivel es visible solo para vos, pero oculto para los demás al compartir pantalla.</source>
        <translation>Hi. Welcome to Brivel. Hold the ↓ key and this text glides at your pace. Let go to stop. No microphone, no voice tracking, just keys. Brivel is visible only to you, but hidden from others when you share your screen.</translation>
    </message>
    <message>
        <source>Brivel es visible solo para vos, pero oculto para los demás al compartir pantalla.</source>
        <translation>Brivel is visible only to you, but hidden from others when you share your screen.</translation>
    </message>
    <message>
        <source>Los guiones pueden tener varias notas. Presioná → para la siguiente, ← para volver. La ventana queda justo debajo de tu cámara, así leés sin que nadie lo note.</source>
        <translation>Scripts can have several notes. Press → for the next one, ← to go back. The window sits right below your camera, so you read without anyone noticing.</translation>
    </message>
    <message>
        <source>Esto es lo que vos ves durante una presentación o videollamada. Los demás no van a ver esta ventana cuando esté invisible.</source>
        <translation>This is what you see during a presentation or video call. Others won't see this window while it is invisible.</translation>
    </message>
    <message>
        <source>Los demás no van a ver esta ventana cuando esté invisible.</source>
        <translation>Others won't see this window while it is invisible.</translation>
    </message>
    <message>
        <source>En este sistema, la ventana sigue visible al compartir pantalla.</source>
        <translation>On this system, the window stays visible when you share your screen.</translation>
    </message>
    <message>
        <source>El pie muestra el título de la nota o los números de tus diapositivas. Tocá el ícono de notas para cambiar.</source>
        <translation>The footer shows the note's title or your slide numbers. Tap the notes icon to switch.</translation>
    </message>
    <message>
        <source>La ventana invisible</source>
        <translation>The invisible window</translation>
    </message>
    <message>
        <source>Comencemos</source>
        <translation>Let's begin</translation>
    </message>
    <message>
        <source>Leé mirando a cámara</source>
        <translation>Read while looking at the camera</translation>
    </message>
    <message>
        <source>Mantené contacto visual mientras tu nota queda justo debajo de la webcam.</source>
        <translation>Keep eye contact while your note sits right below the webcam.</translation>
    </message>
    <message>
        <source>Controlá con teclas</source>
        <translation>Control it with keys</translation>
    </message>
    <message>
        <source>Movete por tus notas con las flechas del teclado.</source>
        <translation>Move through your notes with the arrow keys.</translation>
    </message>
    <message>
        <source>Invisible al compartir pantalla</source>
        <translation>Invisible when sharing your screen</translation>
    </message>
    <message>
        <source>Tu nota es visible solo para vos, invisible al compartir pantalla.</source>
        <translation>Your note is visible only to you, invisible when you share your screen.</translation>
    </message>
    <message>
        <source>Siempre a la vista</source>
        <translation>Always in view</translation>
    </message>
    <message>
        <source>Omitir</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>Continuar</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>¡Estás listo!</source>
        <translation>You're all set!</translation>
    </message>
    <message>
        <source>NOTCH</source>
        <translation>NOTCH</translation>
    </message>
    <message>
        <source>Personalizado</source>
        <translation>Personalized</translation>
    </message>
    <message>
        <source>CONTROLES</source>
        <translation>CONTROLS</translation>
    </message>
    <message>
        <source>Aprendidos</source>
        <translation>Learned</translation>
    </message>
    <message>
        <source>INVISIBILIDAD</source>
        <translation>INVISIBILITY</translation>
    </message>
    <message>
        <source>Probada</source>
        <translation>Tried</translation>
    </message>
    <message>
        <source>OJO DEL NOTCH</source>
        <translation>NOTCH EYE</translation>
    </message>
    <message>
        <source>Probado</source>
        <translation>Tried</translation>
    </message>
    <message>
        <source>NOTAS</source>
        <translation>NOTES</translation>
    </message>
    <message>
        <source>Listas</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Agregar página</source>
        <translation>Add page</translation>
    </message>
    <message>
        <source>Sin resultados</source>
        <translation>No results</translation>
    </message>
    <message>
        <source>Renombrar</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Eliminar página</source>
        <translation>Delete page</translation>
    </message>
    <message>
        <source>Nombre</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Slide 1</source>
        <translation>Slide 1</translation>
    </message>
    <message>
        <source>Slide 2</source>
        <translation>Slide 2</translation>
    </message>
    <message>
        <source>Slide 3</source>
        <translation>Slide 3</translation>
    </message>
    <message>
        <source>Hola. Esta es la primera slide del tutorial. Probá la flecha → del teclado para ir a la próxima.</source>
        <translation>Hi. This is the first slide of the tutorial. Try the → key on your keyboard to go to the next one.</translation>
    </message>
    <message>
        <source>Cuando estés presentando, vas a tener slides con bastante texto que no entran en una sola pantalla del notch. En esos casos no tenés que apurarte ni saltearte líneas. La idea es que sigas tu ritmo natural mientras hablás, y solamente uses ↑ y ↓ cuando ya pasaste el contenido visible y querés ver lo que sigue. El notch te muestra el texto justo debajo de la cámara, así que mantenés contacto visual con tu audiencia mientras leés. Probá scrollear hacia abajo ahora con la flecha ↓ para ver el resto de esta slide. Cuando llegues al final, andá a la próxima con →.</source>
        <translation>When you present, some slides will have more text than fits on one screen of the notch. There is no need to rush or skip lines. Keep your natural pace while you speak, and use ↑ and ↓ only once you have gone past the visible text and want to see what comes next. The notch shows the text right below the camera, so you keep eye contact with your audience while you read. Try scrolling down now with the ↓ key to see the rest of this slide. When you reach the end, go to the next one with →.</translation>
    </message>
    <message>
        <source>¡Excelente! Ya manejás las flechas. Volvé a la slide anterior con ← y después tocá Continuar para ver cómo hacer a Brivel invisible.</source>
        <translation>Excellent! You have the arrows down. Go back to the previous slide with ← and then press Continue to see how to make Brivel invisible.</translation>
    </message>
    <message>
        <source>Hola, estoy practicando con Brivel. Cuando hablo, el texto se mueve solo y puedo seguir sin perder el hilo.</source>
        <translation>Hi, I'm practising with Brivel. When I speak, the text moves on its own and I can keep going without losing my place.</translation>
    </message>
    <message>
        <source>Presioná → para ir a la siguiente nota</source>
        <translation>Press → for the next note</translation>
    </message>
    <message>
        <source>Presioná ← para volver a la anterior</source>
        <translation>Press ← to go back to the previous one</translation>
    </message>
    <message>
        <source>Presioná ↑ para volver arriba</source>
        <translation>Press ↑ to go back to the top</translation>
    </message>
    <message>
        <source>Presioná ↓ para scrollear</source>
        <translation>Press ↓ to scroll</translation>
    </message>
    <message>
        <source>Perfecto. Tocá Continuar.</source>
        <translation>Perfect. Press Continue.</translation>
    </message>
    <message>
        <source>Probá las cuatro flechas para continuar.</source>
        <translation>Try all four arrows to continue.</translation>
    </message>
    <message>
        <source>¡Excelente! Tocá Siguiente.</source>
        <translation>Excellent! Press Continue.</translation>
    </message>
    <message>
        <source>Cuando termines, tocá Siguiente.</source>
        <translation>When you are done, press Continue.</translation>
    </message>
    <message>
        <source>Probá el control por flechas</source>
        <translation>Try the arrow controls</translation>
    </message>
    <message>
        <source>Probá el control por voz</source>
        <translation>Try the voice control</translation>
    </message>
    <message>
        <source>← / → para cambiar de nota · ↑ / ↓ para mover el texto</source>
        <translation>← / → to change notes · ↑ / ↓ to move the text</translation>
    </message>
    <message>
        <source>Leé el texto que aparece en el notch arriba.</source>
        <translation>Read the text shown in the notch above.</translation>
    </message>
    <message>
        <source>Probá →</source>
        <translation>Try →</translation>
    </message>
    <message>
        <source>Nota siguiente</source>
        <translation>Next note</translation>
    </message>
    <message>
        <source>Probá ↑</source>
        <translation>Try ↑</translation>
    </message>
    <message>
        <source>Subir el texto</source>
        <translation>Move the text up</translation>
    </message>
    <message>
        <source>Probá ↓</source>
        <translation>Try ↓</translation>
    </message>
    <message>
        <source>Bajar el texto</source>
        <translation>Move the text down</translation>
    </message>
    <message>
        <source>Probá ←</source>
        <translation>Try ←</translation>
    </message>
    <message>
        <source>Atrás</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Comprobando permisos…</source>
        <translation>Checking permissions…</translation>
    </message>
    <message>
        <source>Necesitamos micrófono y voz</source>
        <translation>We need the microphone and speech</translation>
    </message>
    <message>
        <source>Permiso denegado</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>Necesitamos permiso para escucharte.</source>
        <translation>We need permission to listen to you.</translation>
    </message>
    <message>
        <source>Abrir Ajustes del sistema</source>
        <translation>Open System Settings</translation>
    </message>
    <message>
        <source>Listo para escuchar</source>
        <translation>Ready to listen</translation>
    </message>
    <message>
        <source>Probá ahora</source>
        <translation>Try it now</translation>
    </message>
    <message>
        <source>Leé el texto del notch en voz alta</source>
        <translation>Read the text in the notch aloud</translation>
    </message>
    <message>
        <source>El texto del notch se mueve solo a medida que hablás.</source>
        <translation>The text in the notch moves on its own as you speak.</translation>
    </message>
    <message>
        <source>Bien hecho. Esto es lo que vas a sentir presentando.</source>
        <translation>Well done. This is how presenting will feel.</translation>
    </message>
    <message>
        <source>Escuchando…</source>
        <translation>Listening…</translation>
    </message>
    <message>
        <source>Tocá acá</source>
        <translation>Click here</translation>
    </message>
    <message>
        <source>Leé en voz alta</source>
        <translation>Read aloud</translation>
    </message>
    <message>
        <source>Invisibilidad</source>
        <translation>Invisibility</translation>
    </message>
    <message>
        <source>Hacelo invisible</source>
        <translation>Make it invisible</translation>
    </message>
    <message>
        <source>Probá el ojo del notch</source>
        <translation>Try the notch's eye</translation>
    </message>
    <message>
        <source>Solo vos podés ver tu guion. Los demás ven una pantalla limpia.</source>
        <translation>Only you can see your script. Everyone else sees a clean screen.</translation>
    </message>
    <message>
        <source>En este sistema, quien vea tu pantalla compartida, una grabación o una captura también ve esta ventana.</source>
        <translation>On this system, anyone who sees your shared screen, a recording or a screenshot also sees this window.</translation>
    </message>
    <message>
        <source>Pantallas compartidas</source>
        <translation>Shared screens</translation>
    </message>
    <message>
        <source>Grabaciones</source>
        <translation>Recordings</translation>
    </message>
    <message>
        <source>Capturas</source>
        <translation>Screenshots</translation>
    </message>
    <message>
        <source>Tocá el </source>
        <translation>Click the </translation>
    </message>
    <message>
        <source>ojo</source>
        <translation>eye</translation>
    </message>
    <message>
        <source> de arriba para continuar</source>
        <translation> above to continue</translation>
    </message>
    <message>
        <source>La pantalla es invisible</source>
        <translation>The screen is invisible</translation>
    </message>
    <message>
        <source>Tu guion ahora está oculto de pantallas compartidas, grabaciones y capturas. Solo vos podés verlo.</source>
        <translation>Your script is now hidden from shared screens, recordings and screenshots. Only you can see it.</translation>
    </message>
    <message>
        <source>Así funciona el ojo</source>
        <translation>That is what the eye does</translation>
    </message>
    <message>
        <source>Donde el sistema lo permite, el ojo oculta tu guion de pantallas compartidas, grabaciones y capturas. En este sistema la ventana sigue a la vista.</source>
        <translation>Where the system allows it, the eye hides your script from shared screens, recordings and screenshots. On this system the window stays visible.</translation>
    </message>
    <message>
        <source>Videollamada</source>
        <translation>Video call</translation>
    </message>
    <message>
        <source>Reunión</source>
        <translation>Meeting</translation>
    </message>
    <message>
        <source>Seminario</source>
        <translation>Webinar</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Chat</translation>
    </message>
    <message>
        <source>Llamada</source>
        <translation>Call</translation>
    </message>
    <message>
        <source>Transmisión</source>
        <translation>Live stream</translation>
    </message>
    <message>
        <source>y la mayoría de las apps donde podés compartir pantalla</source>
        <translation>and most apps where you can share your screen</translation>
    </message>
    <message>
        <source>Tu nota privada</source>
        <translation>Your private note</translation>
    </message>
    <message>
        <source>Esto es lo que vos ves durante una presentación o videollamada. En este sistema, quien vea tu pantalla compartida, una grabación o una captura también ve esta ventana.</source>
        <translation>This is what you see during a presentation or video call. On this system, anyone who sees your shared screen, a recording or a screenshot also sees this window.</translation>
    </message>
    <message>
        <source>Personalizá a Brivel</source>
        <translation>Make Brivel yours</translation>
    </message>
    <message>
        <source>Mirá el notch arriba para ver cómo afectan los cambios.</source>
        <translation>Watch the notch above to see how your changes look.</translation>
    </message>
    <message>
        <source>Tipografía</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>del texto</source>
        <translation>of the text</translation>
    </message>
    <message>
        <source>visible al presentar</source>
        <translation>shown while presenting</translation>
    </message>
    <message>
        <source>Efecto vidrio</source>
        <translation>Glass effect</translation>
    </message>
    <message>
        <source>%lld%</source>
        <translation>%lld%</translation>
    </message>
    <message>
        <source>Invisible al compartir</source>
        <translation>Invisible when sharing</translation>
    </message>
    <message>
        <source>Tu ventana no aparece al compartir pantalla</source>
        <translation>Your window does not show when you share your screen</translation>
    </message>
    <message>
        <source>En este sistema la ventana sigue visible al compartir pantalla</source>
        <translation>On this system the window stays visible when you share your screen</translation>
    </message>
    <message>
        <source>Brivel ya está abierto en otra sesión</source>
        <translation>Brivel is already open in another session</translation>
    </message>
    <message>
        <source>Otra sesión de Brivel usa la misma carpeta de datos (%@). Cerrala antes de abrir Brivel acá; si no, cada una guardaría encima de lo que escribe la otra.</source>
        <translation>Another Brivel session uses the same data folder (%@). Quit it before opening Brivel here; otherwise each would save over what the other writes.</translation>
    </message>
</context>
</TS>
