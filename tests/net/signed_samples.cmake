# Signed programs for the signature tests, made by the build: a small program
# signed with the build's throw-away test certificate (never the certificate a
# release signs with), with a renewal of it on the same key, with the build's
# planned next key, and with another one, damaged copies of the signed one
# (tamper.py), one signed by an impostor of the test certificate, and an older
# signed version. Each carries a version resource: newer than the program's
# own, but for the older one.
find_program(NIMVARA_MINGW_GCC x86_64-w64-mingw32-gcc REQUIRED)
find_program(NIMVARA_MINGW_WINDRES x86_64-w64-mingw32-windres REQUIRED)
set(NIMVARA_SAMPLES_DIR ${CMAKE_BINARY_DIR}/signed_samples)
set(sample_src ${CMAKE_CURRENT_LIST_DIR}/samples)
set(tools ${CMAKE_SOURCE_DIR}/tools)
set(out ${NIMVARA_SAMPLES_DIR})

math(EXPR newer_major "${NIMVARA_FIXED_VERSION_MAJOR} + 1")
math(EXPR older_major "${NIMVARA_FIXED_VERSION_MAJOR} - 1")
set(NIMVARA_SAMPLE_NEWER_VERSION "${newer_major},0,0,0")
set(NIMVARA_SAMPLE_OLDER_VERSION "${older_major},99,0,0")

set(sample_names good unsigned other_publisher other_program code_changed bytes_appended signature_moved
  digest_rewritten signature_forged unsigned_attributes certificate_bag_extra crl_content after_encapsulated
  after_signer_info impostor_key older renewed next_key)
list(TRANSFORM sample_names PREPEND ${out}/ OUTPUT_VARIABLE sample_files)
list(TRANSFORM sample_files APPEND .exe)
add_custom_command(OUTPUT ${sample_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
  COMMAND ${NIMVARA_MINGW_WINDRES} -DSTUB_VERSION=${NIMVARA_SAMPLE_NEWER_VERSION} ${sample_src}/update_stub.rc
    -O coff -o ${out}/newer_version.o
  COMMAND ${NIMVARA_MINGW_WINDRES} -DSTUB_VERSION=${NIMVARA_SAMPLE_OLDER_VERSION} ${sample_src}/update_stub.rc
    -O coff -o ${out}/older_version.o
  COMMAND ${NIMVARA_MINGW_GCC} -O2 -s -o ${out}/unsigned.exe ${sample_src}/update_stub.c ${out}/newer_version.o
  COMMAND ${NIMVARA_MINGW_GCC} -O2 -s -DOTHER_PROGRAM -o ${out}/other_program.exe ${sample_src}/update_stub.c
    ${out}/newer_version.o
  COMMAND ${NIMVARA_MINGW_GCC} -O2 -s -o ${out}/older_unsigned.exe ${sample_src}/update_stub.c ${out}/older_version.o
  COMMAND sh ${tools}/make-signing-cert.sh ${out} other "Someone else" ${NIMVARA_THROWAWAY_RECORD} > /dev/null
  COMMAND sh ${sample_src}/make_impostor.sh ${NIMVARA_TEST_SIGNING_CERT} ${out}/impostor
  COMMAND sh ${tools}/sign.sh ${out}/unsigned.exe ${out}/good.exe ${NIMVARA_TEST_SIGNING_CERT} ${NIMVARA_TEST_SIGNING_KEY}
  COMMAND sh ${tools}/sign.sh ${out}/older_unsigned.exe ${out}/older.exe
    ${NIMVARA_TEST_SIGNING_CERT} ${NIMVARA_TEST_SIGNING_KEY}
  COMMAND sh ${tools}/sign.sh ${out}/unsigned.exe ${out}/other_publisher.exe ${out}/other.pem ${out}/other.key
  COMMAND openssl req -x509 -new -key ${NIMVARA_TEST_SIGNING_KEY} -sha256 -days 3650 -set_serial 0x2e4e
    -subj "/CN=Nimvara test publisher" -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature
    -out ${out}/renewed.pem
  COMMAND sh ${tools}/sign.sh ${out}/unsigned.exe ${out}/renewed.exe ${out}/renewed.pem ${NIMVARA_TEST_SIGNING_KEY}
  COMMAND sh ${tools}/sign.sh ${out}/unsigned.exe ${out}/next_key.exe ${NIMVARA_TEST_NEXT_SIGNING_CERT}
    ${NIMVARA_TEST_NEXT_SIGNING_KEY}
  COMMAND sh ${tools}/sign.sh ${out}/unsigned.exe ${out}/impostor_signed.exe ${out}/impostor.pem ${out}/impostor.key
  COMMAND python3 ${sample_src}/tamper.py ${out}/good.exe ${out}/other_program.exe ${out}/impostor_signed.exe
    ${NIMVARA_TEST_SIGNING_CERT} ${out}
  DEPENDS ${sample_src}/update_stub.c ${sample_src}/update_stub.rc ${sample_src}/tamper.py
    ${sample_src}/make_impostor.sh ${tools}/sign.sh ${tools}/make-signing-cert.sh ${CMAKE_SOURCE_DIR}/res/nimvara.rc
  COMMENT "Signed sample programs")
add_custom_target(signed_samples DEPENDS ${sample_files})
