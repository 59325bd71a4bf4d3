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
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
