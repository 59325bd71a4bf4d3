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
        <source>Hay una nueva versión de Brivel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La versión</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ya está disponible. Descargala para actualizar.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Descargar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ahora no</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Omitir esta versión</source>
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
    <message>
        <source>Siguiente</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>¡Listo!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duplicar ventana</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>elegir nota</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cerrar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cambiar nota</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mover texto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>salir</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Acerca de Brivel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ajustes…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Salir</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Archivo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abrir archivo o presentación…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Guardar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Guardar como…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Iniciar / Detener lectura</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tenés cambios sin guardar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>¿Querés guardar los cambios antes de abrir otro archivo?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Descartar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sin título.brivel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error al guardar el archivo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No queda espacio libre en el disco.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El archivo supera el tamaño máximo que permite el sistema.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No tenés permiso para guardar en esa ubicación.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El disco es de solo lectura.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La carpeta ya no existe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Formato no soportado</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brivel solo abre archivos .brivel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Archivo demasiado grande</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Los archivos de Brivel no pueden superar los 10 MB.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error al abrir el archivo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No se pudo encontrar el archivo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No tenés permiso para leer este archivo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El archivo está dañado.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El archivo no es un archivo válido de Brivel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El archivo está dañado o no es un archivo válido de Brivel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Versión no compatible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Este archivo se creó con una versión más reciente de Brivel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Archivo inválido</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El archivo contiene contenido fuera de los límites permitidos.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Los archivos .key no se pueden importar directamente</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Por favor exportá tu presentación como PPTX (.pptx) primero y abrí el archivo exportado.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diapositiva %lld</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conversión requerida</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Los archivos .key no se pueden importar directamente. Por favor exportá tu presentación como PPTX (.pptx) primero, y luego arrastrá el archivo exportado aquí.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Archivo no compatible. Arrastrá un archivo .pptx.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seleccioná un archivo .pptx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ya tenés notas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>¿Querés reemplazar las notas existentes o agregar las nuevas al final?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agregar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reemplazar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Arrastrá un archivo .pptx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Desde otros programas de presentaciones,
exportá como PPTX primero.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importar presentación</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error de importación</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bullets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bienvenido a Brivel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hola. Bienvenido a Brivel. [Pausa]

Brivel es visible solo para vos, pero está oculto para los demás cuando compartís pantalla. Ideal para presentaciones, reuniones o videollamadas.

La ventana se ubica justo debajo de la cámara de tu computadora, para que puedas leer sin perder contacto visual. Está diseñada específicamente para pasar desapercibida.

Podés desplazarte por la nota usando las flechas ↑↓ del teclado, y cambiar de nota usando las flechas ← y →. [Continuar]

Ahora estás listo para escribir tu propio guion y usarlo en tu próxima reunión.

Mucha suerte. [Saludo]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Puntos clave</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>• Saludar por nombre y agradecer la asistencia
• Recordar el contexto de la última conversación
• Presentar la agenda en tres puntos claros
• Preguntar si hay temas que quieran sumar
• Reservar diez minutos al final para preguntas
• Confirmar próximos pasos antes de cerrar
• Enviar resumen por correo dentro de las próximas dos horas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Título</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buscar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ajustes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agregar nueva página</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comandos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Puntos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Indicaciones</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Entrega</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Estructura</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audiencia</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Punto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lista de puntos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pausa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sonríe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Más lento</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+ Lento</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Más rápido</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+ Rápido</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Respira</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Énfasis</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Voz baja</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Más fuerte</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Separador</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mira al público</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Espera reacción</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pregunta al público</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copiado</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empezar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>¿Eliminar esta página?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Se perderá el contenido de esta página.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eliminar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Se desactivó el acceso al micrófono. Abrí Ajustes del Sistema → Privacidad y Seguridad → Micrófono para reactivarlo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Se desactivó el reconocimiento de voz. Abrí Ajustes del Sistema → Privacidad y Seguridad → Reconocimiento de Voz para reactivarlo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Este idioma no está disponible sin conexión. Abrí Ajustes del Sistema → Teclado → Dictado para agregarlo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brivel es visible solo para vos, pero está oculto para los demás cuando compartís pantalla.</source>
        <translation>Brivel es visible solo para vos, pero está oculto para los demás cuando compartís pantalla.</translation>
    </message>
    <message>
        <source>Brivel queda a la vista por encima de las demás ventanas, cerca de la cámara.</source>
        <translation>Brivel queda a la vista por encima de las demás ventanas, cerca de la cámara.</translation>
    </message>
    <message>
        <source>El texto es demasiado largo</source>
        <translation>El texto es demasiado largo</translation>
    </message>
    <message>
        <source>No se encontró texto en el portapapeles</source>
        <translation>No se encontró texto en el portapapeles</translation>
    </message>
    <message>
        <source>Tu guión</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Escribí o pegá tu guión acá. Cada página es una sección independiente.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Personalizá la apariencia, el idioma y los controles.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Iniciar teleprompter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presioná Play para iniciar. ¡Probalo ahora!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Iniciar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Versión %@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tu teleprompter personal que resalta tu guión en tiempo real mientras hablás.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Creado por el equipo de Brivel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diseño y desarrollo: el equipo de Brivel</source>
    </message>
    <message>
        <source>Flechas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volverse invisible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Títulos y números</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mantené ↓ para deslizar el guion a tu ritmo, ↑ para volver atrás. Tocá → y ← para saltar entre notas.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tocá el ojo en el notch para ocultar la app de las pantallas compartidas y de las grabaciones. El borde que brilla confirma que solo vos podés ver la ventana.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tocá el ojo en el notch para marcar la ventana como invisible; el borde que brilla lo confirma. Ocultarla de las pantallas compartidas depende del sistema: en este, la ventana sigue visible al compartir o grabar.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El pie muestra el título de la nota actual. Tocá el ícono de notas para cambiar a números de diapositiva, útil al presentar.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mantené ↓ para scrollear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mantené ↑ para volver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Siguiente nota</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nota anterior</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Números de diapositiva</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Títulos de notas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invisible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hola. Bienvenido a Brivel. Mantené la tecla ↓ y este texto se desliza a tu ritmo. Soltá para frenar. Sin micrófono, sin seguimiento por voz, solo teclas. Brivel es visible solo para vos, pero oculto para los demás al compartir pantalla.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brivel es visible solo para vos, pero oculto para los demás al compartir pantalla.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Los guiones pueden tener varias notas. Presioná → para la siguiente, ← para volver. La ventana queda justo debajo de tu cámara, así leés sin que nadie lo note.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esto es lo que vos ves durante una presentación o videollamada. Los demás no van a ver esta ventana cuando esté invisible.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Los demás no van a ver esta ventana cuando esté invisible.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>En este sistema, la ventana sigue visible al compartir pantalla.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El pie muestra el título de la nota o los números de tus diapositivas. Tocá el ícono de notas para cambiar.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La ventana invisible</source>
        <translation>La ventana invisible</translation>
    </message>
    <message>
        <source>Comencemos</source>
        <translation>Comencemos</translation>
    </message>
    <message>
        <source>Leé mirando a cámara</source>
        <translation>Leé mirando a cámara</translation>
    </message>
    <message>
        <source>Mantené contacto visual mientras tu nota queda justo debajo de la webcam.</source>
        <translation>Mantené contacto visual mientras tu nota queda justo debajo de la webcam.</translation>
    </message>
    <message>
        <source>Controlá con teclas</source>
        <translation>Controlá con teclas</translation>
    </message>
    <message>
        <source>Movete por tus notas con las flechas del teclado.</source>
        <translation>Movete por tus notas con las flechas del teclado.</translation>
    </message>
    <message>
        <source>Invisible al compartir pantalla</source>
        <translation>Invisible al compartir pantalla</translation>
    </message>
    <message>
        <source>Tu nota es visible solo para vos, invisible al compartir pantalla.</source>
        <translation>Tu nota es visible solo para vos, invisible al compartir pantalla.</translation>
    </message>
    <message>
        <source>Siempre a la vista</source>
        <translation>Siempre a la vista</translation>
    </message>
    <message>
        <source>Omitir</source>
        <translation>Omitir</translation>
    </message>
    <message>
        <source>Continuar</source>
        <translation>Continuar</translation>
    </message>
    <message>
        <source>¡Estás listo!</source>
        <translation>¡Estás listo!</translation>
    </message>
    <message>
        <source>NOTCH</source>
        <translation>NOTCH</translation>
    </message>
    <message>
        <source>Personalizado</source>
        <translation>Personalizado</translation>
    </message>
    <message>
        <source>CONTROLES</source>
        <translation>CONTROLES</translation>
    </message>
    <message>
        <source>Aprendidos</source>
        <translation>Aprendidos</translation>
    </message>
    <message>
        <source>INVISIBILIDAD</source>
        <translation>INVISIBILIDAD</translation>
    </message>
    <message>
        <source>Probada</source>
        <translation>Probada</translation>
    </message>
    <message>
        <source>OJO DEL NOTCH</source>
        <translation>OJO DEL NOTCH</translation>
    </message>
    <message>
        <source>Probado</source>
        <translation>Probado</translation>
    </message>
    <message>
        <source>NOTAS</source>
        <translation>NOTAS</translation>
    </message>
    <message>
        <source>Listas</source>
        <translation>Listas</translation>
    </message>
    <message>
        <source>Agregar página</source>
        <translation>Agregar página</translation>
    </message>
    <message>
        <source>Sin resultados</source>
        <translation>Sin resultados</translation>
    </message>
    <message>
        <source>Renombrar</source>
        <translation>Renombrar</translation>
    </message>
    <message>
        <source>Eliminar página</source>
        <translation>Eliminar página</translation>
    </message>
    <message>
        <source>Nombre</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Slide 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slide 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slide 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hola. Esta es la primera slide del tutorial. Probá la flecha → del teclado para ir a la próxima.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cuando estés presentando, vas a tener slides con bastante texto que no entran en una sola pantalla del notch. En esos casos no tenés que apurarte ni saltearte líneas. La idea es que sigas tu ritmo natural mientras hablás, y solamente uses ↑ y ↓ cuando ya pasaste el contenido visible y querés ver lo que sigue. El notch te muestra el texto justo debajo de la cámara, así que mantenés contacto visual con tu audiencia mientras leés. Probá scrollear hacia abajo ahora con la flecha ↓ para ver el resto de esta slide. Cuando llegues al final, andá a la próxima con →.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>¡Excelente! Ya manejás las flechas. Volvé a la slide anterior con ← y después tocá Continuar para ver cómo hacer a Brivel invisible.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hola, estoy practicando con Brivel. Cuando hablo, el texto se mueve solo y puedo seguir sin perder el hilo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presioná → para ir a la siguiente nota</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presioná ← para volver a la anterior</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presioná ↑ para volver arriba</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presioná ↓ para scrollear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perfecto. Tocá Continuar.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá las cuatro flechas para continuar.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>¡Excelente! Tocá Siguiente.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cuando termines, tocá Siguiente.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá el control por flechas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá el control por voz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>← / → para cambiar de nota · ↑ / ↓ para mover el texto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leé el texto que aparece en el notch arriba.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá →</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nota siguiente</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá ↑</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subir el texto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá ↓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bajar el texto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá ←</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Atrás</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comprobando permisos…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Necesitamos micrófono y voz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permiso denegado</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Necesitamos permiso para escucharte.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abrir Ajustes del sistema</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Listo para escuchar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá ahora</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leé el texto del notch en voz alta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>El texto del notch se mueve solo a medida que hablás.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bien hecho. Esto es lo que vas a sentir presentando.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Escuchando…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tocá acá</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leé en voz alta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invisibilidad</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hacelo invisible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probá el ojo del notch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Solo vos podés ver tu guion. Los demás ven una pantalla limpia.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>En este sistema, quien vea tu pantalla compartida, una grabación o una captura también ve esta ventana.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pantallas compartidas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grabaciones</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capturas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tocá el </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ojo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> de arriba para continuar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La pantalla es invisible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tu guion ahora está oculto de pantallas compartidas, grabaciones y capturas. Solo vos podés verlo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Así funciona el ojo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Donde el sistema lo permite, el ojo oculta tu guion de pantallas compartidas, grabaciones y capturas. En este sistema la ventana sigue a la vista.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Videollamada</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reunión</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seminario</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Llamada</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transmisión</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>y la mayoría de las apps donde podés compartir pantalla</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tu nota privada</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esto es lo que vos ves durante una presentación o videollamada. En este sistema, quien vea tu pantalla compartida, una grabación o una captura también ve esta ventana.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Personalizá a Brivel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mirá el notch arriba para ver cómo afectan los cambios.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restablecer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tipografía</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tamaño</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>del texto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cronómetro</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>visible al presentar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Efecto vidrio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opacidad</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ancho</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%lld%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invisible al compartir</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tu ventana no aparece al compartir pantalla</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>En este sistema la ventana sigue visible al compartir pantalla</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brivel ya está abierto en otra sesión</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Otra sesión de Brivel usa la misma carpeta de datos (%@). Cerrala antes de abrir Brivel acá; si no, cada una guardaría encima de lo que escribe la otra.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
