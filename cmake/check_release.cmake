# A release goes to the vendor's users: every outside host must be a real one
# and both pins the vendor's own, never a loopback default or a key that some
# build on this machine made (its private half lies in a build tree).
#   nimvara_check_release(<hosts> <publisher pin> <directory key> <throw-away pins and keys>)
# Also runs as a script:
#   cmake -DHOSTS=a;b -DPUBLISHER_PIN=p -DDIRECTORY_KEY=k -DTHROWAWAY=x;y -P check_release.cmake
function(nimvara_check_release hosts publisher_pin directory_key throwaway)
  foreach(host IN LISTS hosts)
    string(TOLOWER "${host}" lower)
    if(lower STREQUAL "" OR lower MATCHES "^127\\." OR lower MATCHES "(^|\\.)localhost$" OR lower STREQUAL "::1")
      message(FATAL_ERROR "A release needs the vendor's outside hosts: \"${host}\" is a loopback default "
                          "(set NIMVARA_VENDOR_HOST, NIMVARA_DIRECTORY_FALLBACKS, NIMVARA_IPCHECK_HOST "
                          "and NIMVARA_BYPASS_HOSTS)")
    endif()
  endforeach()
  if(publisher_pin STREQUAL "")
    message(FATAL_ERROR "A release needs NIMVARA_PUBLISHER_CERT_SHA256, the vendor's code-signing certificate")
  endif()
  if(directory_key STREQUAL "")
    message(FATAL_ERROR "A release needs NIMVARA_DIRECTORY_PUBLIC_KEY, the vendor's directory key")
  endif()
  string(TOLOWER "${throwaway}" throwaway)
  foreach(name IN ITEMS NIMVARA_PUBLISHER_CERT_SHA256 NIMVARA_DIRECTORY_PUBLIC_KEY)
    if(name STREQUAL "NIMVARA_PUBLISHER_CERT_SHA256")
      string(TOLOWER "${publisher_pin}" value)
    else()
      string(TOLOWER "${directory_key}" value)
    endif()
    list(FIND throwaway "${value}" found)
    if(NOT found EQUAL -1)
      message(FATAL_ERROR "A release cannot trust a throw-away key: ${name} is one that a build on this machine made")
    endif()
  endforeach()
endfunction()

# SHA-256 (hex) of a PEM certificate's DER form: its pin.
function(nimvara_certificate_pin certificate out)
  execute_process(COMMAND openssl x509 -in ${certificate} -outform der COMMAND sha256sum
    OUTPUT_VARIABLE digest ERROR_QUIET)
  string(SUBSTRING "${digest}0000000000000000000000000000000000000000000000000000000000000000" 0 64 digest)
  set(${out} ${digest} PARENT_SCOPE)
endfunction()

# The pins of every throw-away certificate and directory key that the builds
# in <source dir>/build made (make-signing-cert.sh, make-directory-key.sh).
function(nimvara_throwaway_pins source_dir out)
  file(GLOB certificates ${source_dir}/build/*/signing/*.pem ${source_dir}/build/*/signed_samples/*.pem)
  file(GLOB keys ${source_dir}/build/*/signing/directory.key)
  set(pins)
  foreach(certificate IN LISTS certificates)
    nimvara_certificate_pin(${certificate} pin)
    list(APPEND pins ${pin})
  endforeach()
  foreach(key IN LISTS keys)
    get_filename_component(dir ${key} DIRECTORY)
    execute_process(COMMAND sh ${source_dir}/tools/make-directory-key.sh ${dir}
      OUTPUT_VARIABLE pin OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(NOT failed)
      list(APPEND pins ${pin})
    endif()
  endforeach()
  set(${out} ${pins} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED PUBLISHER_PIN)
  nimvara_check_release("${HOSTS}" "${PUBLISHER_PIN}" "${DIRECTORY_KEY}" "${THROWAWAY}")
endif()
