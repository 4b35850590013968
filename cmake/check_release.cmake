# A release goes to the vendor's users: every outside host must be a real one
# and every pin the vendor's own, never a loopback default or a key that a
# build or a test of this project holds.
#   nimvara_check_release(<hosts> <publisher pins> <directory key> <throw-away pins and keys>)
# Also runs as a script:
#   cmake -DHOSTS=a;b -DPUBLISHER_PINS=p;q -DDIRECTORY_KEY=k -DTHROWAWAY=x;y [-DTHROWAWAY_TREE=dir] -P check_release.cmake
#   cmake -DHOST=h -P check_release.cmake

# Why <host> cannot be a release's outside host; empty when it can. A host is
# a DNS name, or an IPv4 address in plain dotted-quad form outside loopback,
# private and reserved ranges. Every other spelling of a number (2130706433,
# 0x7f000001, 0177.0.0.1, 127.1) is refused: resolvers read them as addresses.
function(nimvara_host_refusal host out)
  string(TOLOWER "${host}" h)
  set(reason "")
  string(LENGTH "${h}" length)
  if(h MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    string(REPLACE "." ";" octets "${h}")
    foreach(octet IN LISTS octets)
      string(LENGTH "${octet}" digits)
      if(octet MATCHES "^0[0-9]" OR digits GREATER 3 OR octet GREATER 255)
        set(reason "not a plain dotted-quad IPv4 address")
      endif()
    endforeach()
    if(NOT reason)
      list(GET octets 0 a)
      list(GET octets 1 b)
      list(GET octets 2 c)
      if(a EQUAL 0 OR a EQUAL 10 OR a EQUAL 127 OR a GREATER_EQUAL 224
         OR (a EQUAL 100 AND b GREATER_EQUAL 64 AND b LESS_EQUAL 127)
         OR (a EQUAL 169 AND b EQUAL 254)
         OR (a EQUAL 172 AND b GREATER_EQUAL 16 AND b LESS_EQUAL 31)
         OR (a EQUAL 192 AND b EQUAL 0 AND (c EQUAL 0 OR c EQUAL 2))
         OR (a EQUAL 192 AND b EQUAL 88 AND c EQUAL 99)
         OR (a EQUAL 192 AND b EQUAL 168)
         OR (a EQUAL 198 AND (b EQUAL 18 OR b EQUAL 19))
         OR (a EQUAL 198 AND b EQUAL 51 AND c EQUAL 100)
         OR (a EQUAL 203 AND b EQUAL 0 AND c EQUAL 113))
        set(reason "a loopback, private or reserved address")
      endif()
    endif()
  elseif(h MATCHES "^[a-z0-9-]+(\\.[a-z0-9-]+)*$" AND length LESS_EQUAL 253)
    string(REPLACE "." ";" labels "${h}")
    foreach(label IN LISTS labels)
      string(LENGTH "${label}" label_length)
      if(label_length GREATER 63 OR label MATCHES "^-" OR label MATCHES "-$")
        set(reason "not a DNS name")
      endif()
    endforeach()
    list(GET labels -1 last)
    if(last MATCHES "^[0-9]+$" OR last MATCHES "^0x[0-9a-f]*$")
      set(reason "a numeric spelling of an address")
    elseif(last STREQUAL "localhost")
      set(reason "a loopback name")
    endif()
  else()
    set(reason "neither a DNS name nor a dotted-quad IPv4 address")
  endif()
  set(${out} "${reason}" PARENT_SCOPE)
endfunction()

function(nimvara_check_release hosts publisher_pins directory_key throwaway)
  foreach(host IN LISTS hosts)
    nimvara_host_refusal("${host}" reason)
    if(reason)
      message(FATAL_ERROR "A release needs the vendor's outside hosts: \"${host}\" is ${reason}"
                          " (set NIMVARA_VENDOR_HOST, NIMVARA_DIRECTORY_FALLBACKS, NIMVARA_IPCHECK_HOST "
                          "and NIMVARA_BYPASS_HOSTS)")
    endif()
  endforeach()
  if(publisher_pins STREQUAL "")
    message(FATAL_ERROR "A release needs NIMVARA_PUBLISHER_KEY_SHA256, the vendor's code-signing key")
  endif()
  if(directory_key STREQUAL "")
    message(FATAL_ERROR "A release needs NIMVARA_DIRECTORY_PUBLIC_KEY, the vendor's directory key")
  endif()
  string(TOLOWER "${throwaway}" throwaway)
  foreach(value IN LISTS publisher_pins directory_key)
    string(TOLOWER "${value}" value)
    list(FIND throwaway "${value}" found)
    if(NOT found EQUAL -1)
      message(FATAL_ERROR "A release cannot trust a throw-away key: ${value} is one whose private half "
                          "this project's trees hold, or one its tests use")
    endif()
  endforeach()
endfunction()

# SHA-256 (hex) of a PEM certificate's public key (SubjectPublicKeyInfo, DER): its pin.
function(nimvara_certificate_pin certificate out)
  execute_process(COMMAND openssl x509 -in ${certificate} -noout -pubkey
    COMMAND openssl pkey -pubin -outform DER COMMAND sha256sum
    OUTPUT_VARIABLE digest ERROR_QUIET)
  string(SUBSTRING "${digest}0000000000000000000000000000000000000000000000000000000000000000" 0 64 digest)
  set(${out} ${digest} PARENT_SCOPE)
endfunction()

# Every key a release must not trust: the public halves of the private keys
# anywhere in <tree> (build trees included), those that the throw-away key
# scripts recorded in <record> for builds made elsewhere, and every pin or key
# written out in a file under <tree>/tests.
function(nimvara_throwaway_pins tree record out)
  execute_process(COMMAND sh ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/throwaway_keys.sh ${tree}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REGEX REPLACE "[\r\n]+" ";" pins "${found}")
  if(record AND EXISTS "${record}")
    file(STRINGS "${record}" recorded)
    list(APPEND pins ${recorded})
  endif()
  file(GLOB_RECURSE test_files ${tree}/tests/*)
  foreach(file IN LISTS test_files)
    file(STRINGS ${file} held REGEX "[0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F]")
    foreach(line IN LISTS held)
      string(REGEX MATCHALL "[0-9a-fA-F]+" runs "${line}")
      foreach(run IN LISTS runs)
        string(LENGTH "${run}" run_length)
        if(run_length EQUAL 64 OR run_length EQUAL 130)
          list(APPEND pins ${run})
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(${out} ${pins} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED PUBLISHER_PINS)
  set(throwaway ${THROWAWAY})
  if(THROWAWAY_TREE)
    nimvara_throwaway_pins(${THROWAWAY_TREE} "" found)
    list(APPEND throwaway ${found})
  endif()
  nimvara_check_release("${HOSTS}" "${PUBLISHER_PINS}" "${DIRECTORY_KEY}" "${throwaway}")
endif()
if(CMAKE_SCRIPT_MODE_FILE AND DEFINED HOST)
  nimvara_host_refusal("${HOST}" reason)
  if(reason)
    message(FATAL_ERROR "\"${HOST}\" refused: ${reason}")
  endif()
  message(STATUS "\"${HOST}\" accepted")
endif()
