# Signed programs for the signature tests, made by the build: a small program
# signed with the publisher's certificate and with another one, and damaged
# copies of the signed one (tamper.py).
find_program(NIMVARA_MINGW_GCC x86_64-w64-mingw32-gcc REQUIRED)
set(NIMVARA_SAMPLES_DIR ${CMAKE_BINARY_DIR}/signed_samples)
set(sample_src ${CMAKE_CURRENT_LIST_DIR}/samples)
set(tools ${CMAKE_SOURCE_DIR}/tools)
set(sample_names good unsigned other_publisher other_program code_changed bytes_appended signature_moved
  digest_rewritten signature_forged)
list(TRANSFORM sample_names PREPEND ${NIMVARA_SAMPLES_DIR}/ OUTPUT_VARIABLE sample_files)
list(TRANSFORM sample_files APPEND .exe)
add_custom_command(OUTPUT ${sample_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${NIMVARA_SAMPLES_DIR}
  COMMAND ${NIMVARA_MINGW_GCC} -O2 -s -o ${NIMVARA_SAMPLES_DIR}/unsigned.exe ${sample_src}/update_stub.c
  COMMAND ${NIMVARA_MINGW_GCC} -O2 -s -DOTHER_PROGRAM -o ${NIMVARA_SAMPLES_DIR}/other_program.exe ${sample_src}/update_stub.c
  COMMAND sh ${tools}/make-signing-cert.sh ${NIMVARA_SAMPLES_DIR} other "Someone else" > /dev/null
  COMMAND sh ${tools}/sign.sh ${NIMVARA_SAMPLES_DIR}/unsigned.exe ${NIMVARA_SAMPLES_DIR}/good.exe
    ${NIMVARA_SIGNING_CERT} ${NIMVARA_SIGNING_KEY}
  COMMAND sh ${tools}/sign.sh ${NIMVARA_SAMPLES_DIR}/unsigned.exe ${NIMVARA_SAMPLES_DIR}/other_publisher.exe
    ${NIMVARA_SAMPLES_DIR}/other.pem ${NIMVARA_SAMPLES_DIR}/other.key
  COMMAND python3 ${sample_src}/tamper.py ${NIMVARA_SAMPLES_DIR}/good.exe ${NIMVARA_SAMPLES_DIR}/other_program.exe
    ${NIMVARA_SAMPLES_DIR}
  DEPENDS ${sample_src}/update_stub.c ${sample_src}/tamper.py ${tools}/sign.sh ${tools}/make-signing-cert.sh
  COMMENT "Signed sample programs")
add_custom_target(signed_samples DEPENDS ${sample_files})
